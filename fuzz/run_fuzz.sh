#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (plus AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on its seed
# corpus. Usage: run_fuzz.sh [OUTDIR]; FUZZ_SECONDS sets the time per target
# (60 by default). Exits non-zero when a target crashes; the crashing input is
# left in OUTDIR.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src="$here/../src"
out=${1:-/tmp/rendaro-fuzz}
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fPIC -I"$src")

build() {  # name, sources...
    local name=$1
    shift
    clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core) "$@" -o "$out/$name" $(pkg-config --libs Qt6Core) -lexpat
}

run() {  # name, corpus folder, max input length, extra libFuzzer options...
    local name=$1 corpus=$2 maxlen=$3
    shift 3
    mkdir -p "$out/$corpus"
    cp -n "$here/$corpus"/* "$out/$corpus/" 2>/dev/null || true
    echo "-- $name (${FUZZ_SECONDS:-60} s)"
    (cd "$out" && "./$name" -max_total_time="${FUZZ_SECONDS:-60}" -max_len="$maxlen" -timeout=10 \
        -print_final_stats=1 "$@" "$corpus" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::new_units_added|==|SUMMARY|Done|round trip)' || true)
    # libFuzzer leaves crash-*, timeout-* or leak-* files behind on failure.
    if ls "$out"/crash-* "$out"/timeout-* "$out"/leak-* >/dev/null 2>&1; then
        echo "fuzzing $name found a failing input:" "$out"/crash-* "$out"/timeout-* "$out"/leak-* 2>/dev/null
        return 1
    fi
}

rm -f "$out"/crash-* "$out"/timeout-* "$out"/leak-*
build fuzz_language_file "$here/fuzz_language_file.cpp" "$src"/catalogue/*.cpp
build fuzz_resources "$here/fuzz_resources.cpp" "$src"/resparse/*.cpp
run fuzz_language_file corpus-language 8192 -dict="$here/language.dict"
# The resource reader's kept regression inputs seed its corpus as well.
mkdir -p "$out/corpus-resources"
find "$here/../tests/resparse/regressions" -type f ! -name '*.md' -exec cp -n {} "$out/corpus-resources/" \;
run fuzz_resources corpus-resources 65536
