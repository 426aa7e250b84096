#!/bin/sh
# Applies .clang-format to every C++ source; with --check, only reports files that differ.
set -eu
cd "$(dirname "$0")/.."
files=$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
[ -n "$files" ] || exit 0
if [ "${1:-}" = "--check" ]; then
    clang-format --dry-run -Werror $files
else
    clang-format -i $files
fi
