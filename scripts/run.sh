#!/bin/sh
# Builds kelvast.exe and runs it under Wine, in the user's own prefix (WINEPREFIX, default
# ~/.wine), with this script's arguments as the program's switches:  scripts/run.sh -rd -pp=2
# Without a display (DISPLAY unset) it starts a virtual one with a Wine desktop on it (Wine draws
# the window frames there; no window manager is needed), waits for the dialog, saves a screenshot
# to build/kelvast-screenshot.png and ends kelvast and the virtual display again.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh
mkdir -p build
cmake --preset windows >build/run-configure.log 2>&1 || { cat build/run-configure.log; exit 1; }
cmake --build --preset windows --target kelvast -j 2

exe="$root/build/windows/bin/kelvast.exe"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's own fonts (Marlett draws the caption buttons) where this Wine finds them; nothing else in
# the user's prefix changes. A first run creates the prefix here.
own_fonts() {
    [ -d "$WINEPREFIX/drive_c/windows" ] || "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
    scripts/wine-fonts.sh own "$WINEPREFIX"
}

if [ -n "${DISPLAY:-}" ]; then
    own_fonts
    exec "$wine" "$exe" "$@"
fi

shot="$root/build/kelvast-screenshot.png"
work=$(mktemp -d)
xvfb_pid=""
wine_pid=""
finish() {
    [ -z "$wine_pid" ] || kill "$wine_pid" 2>/dev/null || true
    # Every Wine program of this run shows on our display and ends when it goes away; then this
    # prefix's server ends too, unless the user has other programs running in it.
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    [ -z "$wine_pid" ] || timeout 30 "$wineserver" -w 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" </dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
i=0
while [ ! -s "$work/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
DISPLAY=":$(tr -d '\n' <"$work/display")"
export DISPLAY

own_fonts
echo "Starting kelvast.exe on the virtual display $DISPLAY (prefix $WINEPREFIX)"
"$wine" explorer /desktop=Kelvast,1280x800 "$exe" "$@" </dev/null >"$work/wine.log" 2>&1 &
wine_pid=$!

i=0
until xwininfo -root -tree 2>/dev/null | grep -q '"Kelvast - Version'; do
    if ! kill -0 "$wine_pid" 2>/dev/null; then
        echo "Wine ended before the dialog appeared:"
        cat "$work/wine.log"
        wine_pid=""
        exit 1
    fi
    [ $i -lt 1800 ] || { echo "The dialog did not appear within three minutes"; exit 1; }
    sleep 0.1
    i=$((i + 1))
done
sleep 1 # let it paint
# KELVAST_SHOT_AFTER_START=N: press Enter (Start) in the dialog and take the shot N seconds later.
if [ -n "${KELVAST_SHOT_AFTER_START:-}" ]; then
    xdotool key Return
    sleep "$KELVAST_SHOT_AFTER_START"
fi
import -window root "$shot"
echo "Screenshot of the dialog: $shot"
