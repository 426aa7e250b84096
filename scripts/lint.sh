#!/bin/sh
# Static analysis of the program's sources: clang-tidy with the checks chosen in .clang-tidy, and
# cppcheck. Portable files are checked for the host, Windows files for the MinGW-w64 target with
# the cross compiler's own C++ headers. Exits non-zero on any finding.
set -u
cd "$(dirname "$0")/.."
sources=$(git ls-files 'base/*.cpp' 'app/*.cpp' 'config/*.cpp' 'schedule/*.cpp' 'ui/*.cpp' 2>/dev/null ||
          find base app config schedule ui -name '*.cpp' | sort)
status=0

# The cross compiler's C++ library headers, for checking the Windows files.
cross_includes=$(x86_64-w64-mingw32-g++-posix -E -x c++ - -v </dev/null 2>&1 |
                 sed -n 's/^ \(.*include\/c++[^ ]*\)$/-isystem \1/p' | tr '\n' ' ')
export cross_includes

echo "== clang-tidy"
# Two at a time; each file prints its own findings.
if ! printf '%s\n' $sources | xargs -P 2 -n 1 sh -c '
    case $0 in
    *_win32.cpp) extra="--target=x86_64-w64-mingw32 -DWIN32_LEAN_AND_MEAN -DNOMINMAX $cross_includes" ;;
    *) extra="" ;;
    esac
    out=$(clang-tidy --quiet --header-filter="^$(pwd)/(base|app|config|schedule|ui)/" "$0" \
          -- -std=c++17 -I. $extra 2>&1)
    code=$?
    printf "%s\n" "$out" | grep -v -e "warnings generated" -e "^Suppressed" -e "^Use -header-filter" \
        -e "^$" || true
    exit $code'; then
    echo "clang-tidy: findings above"
    status=1
fi

echo "== cppcheck"
if ! cppcheck --quiet --std=c++17 --language=c++ --library=windows -I. --inline-suppr \
        --enable=warning,style,performance,portability --suppress=missingIncludeSystem \
        --error-exitcode=1 --template='{file}:{line}: {severity}: {message} [{id}]' \
        base app config schedule ui; then
    echo "cppcheck: findings above"
    status=1
fi

[ $status -eq 0 ] && echo "lint: clean"
exit $status
