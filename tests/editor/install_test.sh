#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the desktop files:
# the programs, the menu entry, the icon, and a language-file type that
# shared-mime-info accepts and recognises by the root element.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
DESTDIR= cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/rendaro bin/rendaro-cli share/applications/rendaro.desktop \
         share/icons/hicolor/scalable/apps/rendaro.svg share/mime/packages/rendaro-language.xml; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -q '^Exec=rendaro %f$' "$prefix/share/applications/rendaro.desktop"
grep -q '^MimeType=application/x-rendaro-language+xml;$' "$prefix/share/applications/rendaro.desktop"
if command -v update-mime-database >/dev/null; then
    update-mime-database "$prefix/share/mime"
    [ -e "$prefix/share/mime/application/x-rendaro-language+xml.xml" ] || { echo "mime type not registered"; exit 1; }
    grep -q 'Language' "$prefix/share/mime/XMLnamespaces"
fi
"$prefix/bin/rendaro" --version | grep -q '^Rendaro Version 1, 7, 0, 0$'
echo "install ok"
