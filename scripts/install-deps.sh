#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Needs root (apt-get); without it, only reports what is missing.
set -euo pipefail

# nodejs and php-cli load the exported script tables in the tests; gettext,
# qt6-l10n-tools (lconvert) and translate-toolkit read the exported XLIFF, PO
# and TMX, and libxml-tmx-perl (tmxwc) counts the TMX; git merges files that
# are not language files and runs the merge driver's tests;
# dpkg-dev, lintian and bash-completion build and check the Debian package.
# Spelling uses libhunspell; the tests check with the German and American
# English dictionaries, and the bundled sample (FRA.xml) is French.
# Dialog text is measured with FreeType and HarfBuzz, faces found by
# fontconfig; fonts-wine gives the metric-compatible Tahoma and MS Sans Serif
# that dialogs asking for "MS Shell Dlg" are measured in. The glossary tests
# check Russian inflections of terms (hunspell-ru).
packages=(cmake g++ make ninja-build pkg-config dpkg-dev lintian bash-completion qt6-base-dev libexpat1-dev
          googletest libgtest-dev clang libclang-rt-14-dev nodejs php-cli libx11-dev shared-mime-info
          fonts-dejavu-core gettext qt6-l10n-tools translate-toolkit libxml-tmx-perl git
          libhunspell-dev hunspell-de-de hunspell-en-us hunspell-fr
          libfreetype-dev libharfbuzz-dev libfontconfig-dev fonts-wine
          hunspell-ru)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
