#!/bin/sh
# Builds every preset and runs every suite: native unit tests, the same under sanitizers, the
# Windows build with its tests under Wine, and a few seconds of every fuzz target. Ends with the
# pass/fail counts of all suites together.
set -u
cd "$(dirname "$0")/.."
scripts/deps.sh || exit 1
mkdir -p build
jobs=$(nproc 2>/dev/null || echo 2)
total_pass=0
total_fail=0
status=0

echo "== format check"
if ! scripts/format.sh --check; then
    echo "format check failed: run scripts/format.sh"
    status=1
fi

echo "== static analysis"
if ! scripts/lint.sh; then
    echo "static analysis failed: see scripts/lint.sh and .clang-tidy"
    status=1
fi

for preset in native native-asan windows fuzz; do
    echo "== $preset: configure and build"
    log=build/$preset-build.log
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$jobs"; } >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$preset: build FAILED (whole log: $log)"
        status=1
        continue
    fi
    echo "== $preset: tests"
    ctest --preset "$preset" 2>&1 | tee "build/$preset-ctest.log"
    [ "$(grep -c 'tests failed out of' "build/$preset-ctest.log")" -gt 0 ] || status=1
    line=$(grep 'tests failed out of' "build/$preset-ctest.log" | tail -n 1)
    failed=$(echo "$line" | sed -n 's/.* \([0-9][0-9]*\) tests failed out of \([0-9][0-9]*\).*/\1/p')
    all=$(echo "$line" | sed -n 's/.* \([0-9][0-9]*\) tests failed out of \([0-9][0-9]*\).*/\2/p')
    [ -n "$failed" ] || { failed=1; all=1; }
    # The Wine prefix's setup and cleanup steps are fixtures, not tests.
    fixtures=$(grep -cE 'Test +#[0-9]+: wine\.(setup|cleanup) .*Passed' "build/$preset-ctest.log")
    passed=$((all - failed - fixtures))
    echo "$preset: $passed passed, $failed failed"
    total_pass=$((total_pass + passed))
    total_fail=$((total_fail + failed))
    [ "$failed" -eq 0 ] || status=1
done

# The download must be reproducible: two fresh builds of this tree, in two folders one after the
# other, must give the same bytes. Counted as one test.
echo "== package: two builds compared"
check=build/package-check
rm -rf "$check"
if scripts/package.sh "$check/one" "$check/one/dist" >"$check-one.log" 2>&1 &&
   scripts/package.sh "$check/two" "$check/two/dist" >"$check-two.log" 2>&1 &&
   cmp "$check/one/stage/kelvast.exe" "$check/two/stage/kelvast.exe" &&
   cmp "$check/one/dist/kelvast-"*"-win64.zip" "$check/two/dist/kelvast-"*"-win64.zip"; then
    echo "package: 1 passed, 0 failed (identical: $(ls "$check/one/dist"))"
    total_pass=$((total_pass + 1))
else
    tail -n 20 "$check-one.log" "$check-two.log" 2>/dev/null
    echo "package: 0 passed, 1 failed (the two builds differ or did not build)"
    total_fail=$((total_fail + 1))
    status=1
fi

[ $status -eq 0 ] || [ $total_fail -gt 0 ] || total_fail=1
echo "Total: $total_pass passed, $total_fail failed"
exit $status
