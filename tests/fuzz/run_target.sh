#!/bin/sh
# Runs one fuzz target briefly for ctest: TARGET SEED_DIR WORK_DIR [libFuzzer options...].
# The target works on a scratch copy of its seeds, so new inputs never land in the source tree;
# a crash leaves its input in WORK_DIR and fails the test.
set -eu
target=$1
seeds=$2
work=$3
shift 3
rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"
exec "$target" -artifact_prefix="$work/" -print_final_stats=1 "$@" "$work/corpus"
