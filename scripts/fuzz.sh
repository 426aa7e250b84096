#!/bin/sh
# The long fuzzing run: builds the fuzz preset and runs every target for SECONDS each (default 600),
# two at a time, growing a working corpus under build/fuzz/corpus/<name> from the seeds in
# tests/fuzz/corpus. Prints per target the time, executions, coverage and any crash file.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -u
cd "$(dirname "$0")/.."
seconds=${1:-600}
[ $# -gt 0 ] && shift
mkdir -p build
if ! { cmake --preset fuzz && cmake --build --preset fuzz -j2; } >build/fuzz-build.log 2>&1; then
    tail -n 40 build/fuzz-build.log
    exit 1
fi

targets=${*:-$(ls tests/fuzz/*_fuzz.cpp | sed 's|.*/||; s|_fuzz\.cpp$||')}
out=build/fuzz/long
mkdir -p "$out"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

run() {
    name=$1
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus" "$out/$name"
    cp -n tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null
    set -- -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$out/$name/"
    [ -f tests/fuzz/"$name".dict ] && set -- "$@" -dict=tests/fuzz/"$name".dict
    case $name in settings | history) set -- "$@" -max_len=8192 ;; esac
    start=$(date +%s)
    build/fuzz/bin/"$name"_fuzz "$@" "$corpus" >"$out/$name.log" 2>&1
    status=$?
    took=$(($(date +%s) - start))
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$name.log" | tail -n 1)
    cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$out/$name.log" | tail -n 1)
    crash=$(ls "$out/$name"/crash-* "$out/$name"/leak-* "$out/$name"/timeout-* "$out/$name"/oom-* 2>/dev/null |
            tr '\n' ' ')
    printf '%-13s %5ss  %10s execs  %-22s corpus %4s  %s\n' "$name" "$took" "${execs:-?}" "${cov:-?}" \
        "$(ls "$corpus" | wc -l)" "$([ $status -eq 0 ] && echo ok || echo "FAILED: ${crash:-see $out/$name.log}")"
    return $status
}

status=0
set -- $targets
while [ $# -gt 0 ]; do
    run "$1" & first=$!
    second=""
    if [ $# -gt 1 ]; then
        run "$2" & second=$!
        shift
    fi
    shift
    wait $first || status=1
    [ -z "$second" ] || wait $second || status=1
done
exit $status
