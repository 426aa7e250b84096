#!/bin/sh
# The Wine side of the Windows test run.
#   wine-env.sh setup   STATE   fresh prefix with the fonts a Windows desktop has, virtual display
#                               if none, persistent wineserver
#   wine-env.sh run     STATE EXE [ARGS...]   run one Windows program in that prefix
#   wine-env.sh cleanup STATE   stop this run's wineserver and display, nothing else
# STATE is a folder of the build tree; the prefix lives in STATE/prefix.
set -u
here=$(cd "$(dirname "$0")" && pwd)
cmd=$1
state=$2
shift 2

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

use_display() {
    if [ -f "$state/display" ]; then
        DISPLAY=":$(cat "$state/display")"
        export DISPLAY
    fi
}

stop_all() {
    if [ -d "$WINEPREFIX" ]; then
        "$wineserver" -k >/dev/null 2>&1 || true
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1 || true
        rm -f "$state/xvfb.pid" "$state/display"
    fi
}

case "$cmd" in
setup)
    mkdir -p "$state"
    stop_all
    rm -rf "$WINEPREFIX"
    # The server refuses to start without its prefix folder; Wine would then start one of its
    # own that ends when idle, and every test would boot the prefix's services again.
    mkdir -p "$WINEPREFIX"
    if [ -z "${DISPLAY:-}" ]; then
        # Xvfb must not hold the test runner's output pipes, or CTest waits for it forever.
        rm -f "$state/display"
        setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
            3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
        echo $! >"$state/xvfb.pid"
        i=0
        while [ ! -s "$state/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
        [ -s "$state/display" ] || { echo "Xvfb did not start"; cat "$state/xvfb.log"; exit 1; }
        # -displayfd writes the number followed by a newline
        tr -d '\n' <"$state/display" >"$state/display.tmp" && mv "$state/display.tmp" "$state/display"
    fi
    use_display
    # One persistent server for the whole run keeps each test's Wine start short.
    "$wineserver" -p </dev/null >/dev/null 2>&1
    "$wine" wineboot -i </dev/null >"$state/wineboot.log" 2>&1
    # Dialogs are then drawn as on Windows: caption buttons, Tahoma, a fixed-pitch Courier New.
    "$here/../scripts/wine-fonts.sh" windows "$WINEPREFIX" || exit 1
    echo "Wine prefix ready: $WINEPREFIX on display ${DISPLAY:-}"
    ;;
run)
    use_display
    # Wine starts helpers on demand (the desktop, services) that outlive the program and keep
    # its output handles; through a file they never hold the test runner's pipe open.
    out=$(mktemp)
    "$wine" "$@" </dev/null >"$out" 2>&1
    status=$?
    cat "$out"
    rm -f "$out"
    exit $status
    ;;
cleanup)
    stop_all
    echo "Wine stopped"
    ;;
*)
    echo "usage: wine-env.sh setup|run|cleanup STATE [EXE ARGS...]" >&2
    exit 2
    ;;
esac
