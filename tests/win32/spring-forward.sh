#!/bin/sh
# Runs a Windows test program under Wine with a clock that springs forward soon: local standard time
# is UTC, and daylight time, one hour ahead, begins AHEAD seconds from now. The moment is handed to
# the tests as KELVAST_CLOCK_JUMP (UTC seconds since 1970).
#   spring-forward.sh AHEAD WINE_ENV STATE EXE [ARGS...]
# Wine's clock follows a POSIX TZ rule in the environment of the command that starts its processes.
set -eu
ahead=$1
env_sh=$2
state=$3
shift 3

jump=$(($(date -u +%s) + ahead))
# Two hours of daylight time; the rule's end is written in daylight time.
end=$((jump + 2 * 3600 + 3600))
day() { echo $(($(date -u -d "@$1" +%j | sed 's/^0*//') - 1)); }
hms() { date -u -d "@$1" +%H:%M:%S; }
if [ "$(date -u -d "@$jump" +%Y)" != "$(date -u -d "@$end" +%Y)" ]; then
    echo "the rule cannot reach into the next year: skipped this close to its end"
    exit 77
fi
TZ="STD0DST-1,$(day "$jump")/$(hms "$jump"),$(day "$end")/$(hms "$end")"
# The rule must move the clock exactly at the jump.
if [ "$(TZ=$TZ date -d "@$((jump - 1))" +%T)" != "$(hms $((jump - 1)))" ] ||
   [ "$(TZ=$TZ date -d "@$jump" +%T)" != "$(hms $((jump + 3600)))" ]; then
    echo "TZ rule $TZ does not spring forward at $(hms "$jump") UTC"
    exit 1
fi
echo "TZ=$TZ: the clock springs forward at $(hms "$jump") UTC"
KELVAST_CLOCK_JUMP=$jump
export TZ KELVAST_CLOCK_JUMP
exec "$env_sh" run "$state" "$@"
