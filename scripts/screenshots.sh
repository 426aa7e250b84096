#!/bin/sh
# Retakes the README's screenshots of the dialog: docs/kelvast.png at 100 % (96 DPI),
# docs/kelvast-150.png at 150 % (144 DPI) and docs/kelvast-run.png with a run that has ended. Runs
# scripts/run.sh without a display in a prefix of its own (build/screenshots), with Windows' fonts and
# a sample schedule in the history, and trims each shot to the dialog.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
state="$root/build/screenshots"
env_sh="$root/cmake/wine-env.sh"

unset DISPLAY
"$env_sh" setup "$state" >/dev/null
trap '"$env_sh" cleanup "$state" >/dev/null 2>&1 || true' EXIT
reg() {
    "$env_sh" run "$state" reg "$@" >/dev/null
}
reg add 'HKCU\Software\Tansky Freeware\Kelvast\Settings' /v History /t REG_MULTI_SZ \
    /d 'C:\kel\backup.bat log-&&yyyymodd.txt\007:30:00\00111110' /f
"$env_sh" cleanup "$state" >/dev/null

for shot in 96:docs/kelvast.png 144:docs/kelvast-150.png; do
    dpi=${shot%%:*}
    file=${shot#*:}
    reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
    "$env_sh" cleanup "$state" >/dev/null
    WINEPREFIX="$state/prefix" scripts/run.sh >/dev/null
    # The virtual desktop around the dialog is one colour.
    convert build/kelvast-screenshot.png -trim +repage "$file"
    echo "$file at $dpi DPI: $(identify -format '%wx%h' "$file")"
done

# A run that has ended: a command that exits at once, due half a minute from now, started with Enter.
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f
due=$(date -d "@$(($(date +%s) + 30))" +%H:%M:%S)
reg add 'HKCU\Software\Tansky Freeware\Kelvast\Settings' /v History /t REG_MULTI_SZ \
    /d "cmd /c exit 0\\0$due\\01111111" /f
"$env_sh" cleanup "$state" >/dev/null
KELVAST_SHOT_AFTER_START=40 WINEPREFIX="$state/prefix" scripts/run.sh >/dev/null
convert build/kelvast-screenshot.png -trim +repage docs/kelvast-run.png
echo "docs/kelvast-run.png: $(identify -format '%wx%h' docs/kelvast-run.png)"
