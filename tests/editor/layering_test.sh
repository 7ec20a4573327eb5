#!/usr/bin/env bash
# The arrows allowed between the editor's rooms, read from the #include
# lines: the GUI-free core includes nothing of the GUI; the grid control
# knows no editor; the editor's core knows no feature; each feature
# (src/editor/NAME/) and the batch tools' dialogs know the core alone. Only
# the editor put together (src/editor/editor_features.*) and the
# application shell (src/app) see every feature.
set -u
src=${1:?usage: layering_test.sh SRC_FOLDER}
cd "$src" || exit 2
failures=0

# Lines of FILES including a header under one of the PATTERNS' folders.
forbidden() {  # what, pattern, files...
    local what=$1 pattern=$2
    shift 2
    local hits
    hits=$(grep -nE "^#include \"($pattern)/" "$@" 2>/dev/null)
    if [ -n "$hits" ]; then
        echo "$what:"
        echo "$hits"
        failures=$((failures + 1))
    fi
}

gui='app|controls|editor|batch_dialogs'
for folder in catalogue checks export exchange resparse dialogfit fontmetrics batch recovery memory glossary spelling cli; do
    [ -d "$folder" ] && forbidden "the GUI-free $folder includes the GUI" "$gui" $(find "$folder" -name '*.h' -o -name '*.cpp')
done
forbidden "the grid control includes the editor" 'app|editor|batch_dialogs' $(find controls -name '*.h' -o -name '*.cpp')
features=$(find editor -mindepth 1 -maxdepth 1 -type d ! -name core -printf '%f\n' | sort)
[ -n "$features" ] || { echo "no features found under $src/editor"; exit 1; }
others() { printf '%s\n' "$@" | paste -sd'|'; }
forbidden "the editor's core includes a feature" "app|batch_dialogs|editor/($(others $features))" \
    $(find editor/core -name '*.h' -o -name '*.cpp')
for feature in $features; do
    rest=$(printf '%s\n' $features | grep -vx "$feature")
    forbidden "the feature $feature includes another room" "app|batch_dialogs|editor/($(others $rest))" \
        $(find "editor/$feature" -name '*.h' -o -name '*.cpp')
done
forbidden "the batch tools' dialogs include a feature" "app|editor/($(others $features))" \
    $(find batch_dialogs -name '*.h' -o -name '*.cpp')

if [ "$failures" -gt 0 ]; then
    echo "$failures rooms include what they may not"
    exit 1
fi
echo "every room includes only what it may ($(echo $features | wc -w) features)"
