#!/usr/bin/env bash
# Builds the Debian package rendaro_<version>_amd64.deb from scratch (a
# Release build in build-package/) and leaves it in the current folder.
# lintian checks it when installed.
#   scripts/package.sh [OUTDIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(cd "${1:-.}" && pwd)
build="$here/build-package"

"$here/scripts/install-deps.sh"
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
# Debian's hardening flags, so the programs are built as Debian's own are.
cmake "${generator[@]}" -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DRENDARO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" >/dev/null
cmake --build "$build" -j"$(nproc)" --target rendaro rendaro-cli rendaro_compressed_data
(cd "$build" && cpack -G DEB -B "$build/packages" >/dev/null)
deb=$(ls "$build"/packages/rendaro_*_amd64.deb)
cp "$deb" "$out/"
echo "Built $out/$(basename "$deb")"
if command -v lintian >/dev/null; then
    lintian --fail-on error "$out/$(basename "$deb")"
fi
