#!/usr/bin/env bash
# Packs a build tree as the Debian package and checks it: the files it
# installs, its dependencies (computed from the binaries), and lintian's
# verdict when lintian is installed. Skipped (exit 77) without dpkg-deb.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$1
command -v dpkg-deb >/dev/null || { echo "dpkg-deb not installed"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/rendaro_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
[[ $(basename "$deb") == "rendaro_${version}_amd64.deb" ]] || { echo "unexpected name $(basename "$deb")"; exit 1; }
[[ "$("$build/src/cli/rendaro-cli" --version)" == "rendaro-cli $version" ]] ||
    { echo "the package's version $version is not the program's"; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/rendaro ./usr/bin/rendaro-cli ./usr/share/applications/rendaro.desktop \
         ./usr/share/icons/hicolor/scalable/apps/rendaro.svg ./usr/share/mime/packages/rendaro-language.xml \
         ./usr/share/man/man1/rendaro.1.gz ./usr/share/man/man1/rendaro-cli.1.gz \
         ./usr/share/bash-completion/completions/rendaro-cli ./usr/share/doc/rendaro/copyright \
         ./usr/share/doc/rendaro/changelog.gz; do
    grep -qxF "$f" <<<"$contents" || { echo "missing from the package: $f"; exit 1; }
done
# Nothing of the build machine's caches (such as a mime cache) comes along.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}')
unexpected=$(grep -vE '^\./usr/(bin|share/(applications|icons|mime/packages|man/man1|bash-completion|doc/rendaro))/' \
    <<<"$files" || true)
[ -z "$unexpected" ] || { echo "unexpected files in the package: $unexpected"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libexpat1 libhunspell-1.7-0 libstdc++6 qt6-qpa-plugins libfreetype6 \
    libharfbuzz0b libfontconfig1 fonts-wine; do
    grep -q "\b$library\b" <<<"$depends" || { echo "Depends lacks $library: $depends"; exit 1; }
done

if command -v lintian >/dev/null; then
    lintian --fail-on error --suppress-tags binary-has-unneeded-section "$deb" 2>&1 |
        grep -v 'running with root privileges' || true
    lintian --fail-on error "$deb" >/dev/null 2>&1 || { echo "lintian reports errors"; exit 1; }
fi
echo "package ok: $(basename "$deb")"
