# The Debian package: `cpack -G DEB` in a build tree (scripts/package.sh
# builds one from scratch) gives rendaro_<version>_amd64.deb holding what
# `cmake --install` installs. The library dependencies are computed from the
# binaries (dpkg-shlibdeps); the others are named here.

set(CPACK_PACKAGE_NAME rendaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Rendaro developers")
set(CPACK_PACKAGE_CONTACT "The Rendaro developers <developers@rendaro.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "translation editor for XML language files")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://rendaro.org")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The editor cannot open a window without Qt's platform plugins, which no
# library of it links. The fit check measures dialog text in the Wine
# fonts' Tahoma and MS Sans Serif, which no library links either (FreeType,
# HarfBuzz and fontconfig come in through the libraries linked).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wine")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
# Spelling needs a hunspell dictionary of the files' language.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "hunspell-dictionary")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Rendaro edits the XML language files of a family of applications: one file
per language, holding every English user-interface string with its
translation. The editor shows originals and translations side by side,
checks every translation against its original (placeholders, line breaks,
length), spell-checks it with hunspell in the file's language and keeps
every change undoable; language folders open as one list.

The command-line tool rendaro-cli runs the same operations in scripts and
build pipelines: checking, importing and applying files, script tables for
web front ends, texts of Windows executables and the generate-and-pack
pipeline over a branch tree.")

include(CPack)
