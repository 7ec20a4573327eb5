#!/usr/bin/env bash
# Builds the probe and the calibration dialogs with mingw-w64 and runs the
# probe under wine at 96, 120 and 144 dpi, in a wine prefix of its own.
#   run_probe.sh WORKDIR [DLL]
# Writes WORKDIR/dialogs.dll (unless DLL is given) and WORKDIR/wine-DPI.tsv.
# Needs: wine64 (or wine), xvfb, xauth, gcc-mingw-w64-x86-64-win32,
# binutils-mingw-w64-x86-64, fonts-wine, python3.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mkdir -p "$1" && cd "$1" && pwd)
dll=${2:-}

x86_64-w64-mingw32-gcc -O2 -municode -Wall -Wextra -o "$work/probe.exe" "$here/probe.c" -lgdi32 -luser32
if [ -z "$dll" ]; then
    python3 "$here/gen_dialogs.py" "$work/dialogs.rc"
    echo 'int __stdcall DllMain(void *h, unsigned long r, void *p) { (void)h; (void)r; (void)p; return 1; }' \
        > "$work/dll.c"
    x86_64-w64-mingw32-windres "$work/dialogs.rc" -O coff -o "$work/dialogs.o"
    x86_64-w64-mingw32-gcc -shared -nostdlib -s -o "$work/dialogs.dll" "$work/dll.c" "$work/dialogs.o" \
        -Wl,--entry=0
    dll=$work/dialogs.dll
fi
dll=$(cd "$(dirname "$dll")" && pwd)/$(basename "$dll")

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    xvfb-run -a wineboot -i >/dev/null 2>&1
fi
# Debian's wine does not find the fonts of fonts-wine by itself: without
# them every dialog font becomes Liberation Sans.
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

cat > "$work/at_dpi.sh" <<'EOF'
#!/usr/bin/env bash
set -e
dpi=$1 dll=$2 out=$3
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null
# "MS Shell Dlg" is the classic MS Sans Serif, as on the platform (wine's
# default takes Tahoma for it); "MS Shell Dlg 2" stays Tahoma.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'MS Shell Dlg' \
    /t REG_SZ /d 'MS Sans Serif' /f >/dev/null
# Grey font smoothing, as text is drawn on the platform: wine then draws
# outline glyphs at the advances it measures. Without smoothing it draws the
# bitmap strikes of its Tahoma, narrower than the widths GetTextExtent gives.
wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /t REG_SZ /d 2 /f >/dev/null
wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 1 /f >/dev/null
wineserver -w
wine "$(dirname "$0")/probe.exe" "$dll" "$out"
wineserver -w
EOF
chmod +x "$work/at_dpi.sh"
for dpi in 96 120 144; do
    xvfb-run -a "$work/at_dpi.sh" "$dpi" "$(winepath -w "$dll" 2>/dev/null)" \
        "$(winepath -w "$work/wine-$dpi.tsv" 2>/dev/null)" >/dev/null 2>&1
    echo "wine-$dpi.tsv: $(grep -c '^C' "$work/wine-$dpi.tsv") controls"
done
