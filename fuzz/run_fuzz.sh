#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (plus AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on its seed
# corpus, all at once: the language-file reader, the resource reader, and the
# XLIFF and PO readers (the resource reader with the dialog layouts and
# their pictures). Usage: run_fuzz.sh [OUTDIR]; FUZZ_SECONDS sets the
# time per target (60 by default). Exits non-zero when a target crashes; the
# failing input is left in OUTDIR/NAME-artifacts.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src="$here/../src"
out=${1:-/tmp/rendaro-fuzz}
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fPIC -I"$src")

build() {  # name, sources...
    # One unit including every source (as the CMake build's unity builds do)
    # parses the Qt headers once instead of once per file.
    local name=$1
    shift
    local unit="$out/$name-unit.cpp"
    printf '#include "%s"\n' "$@" > "$unit"
    clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core) "$unit" -o "$out/$name" $(pkg-config --libs Qt6Core) -lexpat
}

run() {  # name, corpus folder, max input length, extra libFuzzer options...
    local name=$1 corpus=$2 maxlen=$3
    shift 3
    mkdir -p "$out/$corpus" "$out/$name-artifacts"
    cp -n "$here/$corpus"/* "$out/$corpus/" 2>/dev/null || true
    (cd "$out" && "./$name" -max_total_time="${FUZZ_SECONDS:-60}" -max_len="$maxlen" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$out/$name-artifacts/" "$@" "$corpus" > "$out/$name.log" 2>&1 || true)
}

report() {  # name: prints the run's summary; fails when it left a failing input
    local name=$1
    echo "-- $name (${FUZZ_SECONDS:-60} s)"
    grep -E '^(stat::number_of_executed_units|stat::new_units_added|==|SUMMARY|Done|round trip)' "$out/$name.log" || true
    # libFuzzer leaves crash-*, timeout-* or leak-* files behind on failure.
    if ls "$out/$name-artifacts"/crash-* "$out/$name-artifacts"/timeout-* "$out/$name-artifacts"/leak-* >/dev/null 2>&1; then
        echo "fuzzing $name found a failing input:" "$out/$name-artifacts"/* 2>/dev/null
        return 1
    fi
}

rm -rf "$out"/*-artifacts
# The two targets are built and then run side by side, one core each.
# The catalogue counts and filters by the checks, which name languages as
# the spelling and the exchange files do; the checks that need data of their
# own (and the fonts and dictionaries they link) stay out.
checks=()
for f in "$src"/checks/*.cpp; do
    [ "$(basename "$f")" = check_factories.cpp ] || checks+=("$f")
done
core=("$src"/catalogue/*.cpp "${checks[@]}" "$src"/spelling/spelling_languages.cpp "$here/no_data_checks.cpp")
build fuzz_language_file "$here/fuzz_language_file.cpp" "${core[@]}" "$src"/exchange/language_tags.cpp &
language_build=$!
resources=("$src"/resparse/*.cpp "$src"/dialogfit/dialog_units.cpp "$src"/dialogfit/dialog_layout.cpp
           "$src"/dialogfit/text_measurer.cpp "$src"/dialogfit/raster_image.cpp "$src"/dialogfit/dialog_preview.cpp
           "$src"/dialogfit/menu_preview.cpp)
build fuzz_resources "$here/fuzz_resources.cpp" "${resources[@]}" &
resources_build=$!
wait $language_build
wait $resources_build
# The XLIFF writer names the controls of a program, as the resource reader
# finds them.
build fuzz_exchange "$here/fuzz_exchange.cpp" "$src"/exchange/*.cpp "${core[@]}" "${resources[@]}"
# The resource reader's kept regression inputs seed its corpus as well.
mkdir -p "$out/corpus-resources"
find "$here/../tests/resparse/regressions" -type f ! -name '*.md' -exec cp -n {} "$out/corpus-resources/" \;
run fuzz_language_file corpus-language 8192 -dict="$here/language.dict" &
run fuzz_resources corpus-resources 65536 &
run fuzz_exchange corpus-exchange 16384 -dict="$here/exchange.dict" &
wait
status=0
report fuzz_language_file || status=1
report fuzz_resources || status=1
report fuzz_exchange || status=1
exit $status
