#!/usr/bin/env bash
# Writes a DLL with 500 dialogs (alternately DIALOGEX in MS Shell Dlg and
# DIALOG in MS Sans Serif, 12 controls each: buttons, check boxes, radio
# buttons, a group box, wrapping and single-line statics) and a menu, and
# its resource header, for bench_check_program. Needs Debian's mingw-w64
# (binutils-mingw-w64-x86-64, gcc-mingw-w64-x86-64-win32).
#   make_dialogs_dll.sh OUT.dll OUT.h
set -euo pipefail
dll=$1
header=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    for d in $(seq 1 500); do
        echo "#define IDD_DIALOG_$d $((1000 + d))"
        for c in $(seq 1 12); do echo "#define IDC_D${d}_C$c $((10000 + d * 20 + c))"; done
    done
} > "$header"
{
    echo '#include <windows.h>'
    echo "#include \"$(basename "$header")\""
    echo 'LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US'
    for d in $(seq 1 500); do
        if [ $((d % 2)) -eq 0 ]; then
            echo "IDD_DIALOG_$d DIALOGEX 0, 0, 240, 160"
            echo 'STYLE DS_SHELLFONT | WS_POPUP | WS_CAPTION'
            echo 'FONT 8, "MS Shell Dlg", 400, 0, 1'
        else
            echo "IDD_DIALOG_$d DIALOG 0, 0, 240, 160"
            echo 'STYLE DS_SETFONT | WS_POPUP | WS_CAPTION'
            echo 'FONT 8, "MS Sans Serif"'
        fi
        echo "CAPTION \"Dialog $d\""
        echo 'BEGIN'
        echo "    PUSHBUTTON \"&Apply $d\", IDC_D${d}_C1, 7, 7, 50, 14"
        echo "    DEFPUSHBUTTON \"OK\", IDC_D${d}_C2, 60, 7, 50, 14"
        echo "    PUSHBUTTON \"Cancel\", IDC_D${d}_C3, 113, 7, 50, 14"
        echo "    AUTOCHECKBOX \"&Show item $d\", IDC_D${d}_C4, 7, 25, 100, 10"
        echo "    AUTOCHECKBOX \"Enable &feature $d\", IDC_D${d}_C5, 7, 37, 100, 10"
        echo "    AUTORADIOBUTTON \"&Small $d\", IDC_D${d}_C6, 7, 49, 60, 10"
        echo "    AUTORADIOBUTTON \"&Large $d\", IDC_D${d}_C7, 70, 49, 60, 10"
        echo "    GROUPBOX \"Group $d\", IDC_D${d}_C8, 5, 62, 150, 40"
        echo "    LTEXT \"This note $d explains what the options of this dialog do.\", IDC_D${d}_C9, 7, 105, 120, 24"
        echo "    LTEXT \"&Name $d:\", IDC_D${d}_C10, 7, 132, 40, 8"
        echo "    CTEXT \"Centred $d\", IDC_D${d}_C11, 130, 132, 50, 8"
        echo "    PUSHBUTTON \"Apply to all files $d\", IDC_D${d}_C12, 170, 25, 60, 20, BS_MULTILINE"
        echo 'END'
    done
} > "$work/dialogs.rc"
echo 'int __stdcall DllMain(void *h, unsigned long r, void *p) { (void)h; (void)r; (void)p; return 1; }' > "$work/dll.c"
cp "$header" "$work/"
x86_64-w64-mingw32-windres -I"$work" "$work/dialogs.rc" -O coff -o "$work/dialogs.o"
x86_64-w64-mingw32-gcc -shared -nostdlib -s -o "$dll" "$work/dll.c" "$work/dialogs.o" -Wl,--entry=0
