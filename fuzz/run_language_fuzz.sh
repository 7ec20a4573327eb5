#!/usr/bin/env bash
# Builds the language-file fuzz target with clang's libFuzzer and runs it for
# a bounded time on the seed corpus. Usage: run_language_fuzz.sh [OUTDIR]
# (FUZZ_SECONDS sets the time, 60 by default). Exits non-zero on a crash.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src="$here/../src"
out=${1:-/tmp/rendaro-fuzz}
mkdir -p "$out/corpus-language"
cp -n "$here"/corpus-language/* "$out/corpus-language/" 2>/dev/null || true

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fPIC \
    -I"$src" $(pkg-config --cflags Qt6Core) \
    "$here/fuzz_language_file.cpp" "$src"/catalogue/*.cpp \
    -o "$out/fuzz_language_file" $(pkg-config --libs Qt6Core) -lexpat

cd "$out"
./fuzz_language_file -max_total_time="${FUZZ_SECONDS:-60}" -max_len=8192 -print_final_stats=1 corpus-language \
    2>&1 | tail -n 20
exit "${PIPESTATUS[0]}"
