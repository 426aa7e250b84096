#!/bin/sh
# Builds the Release kelvast.exe and packs the download for Windows users:
#   build/dist/kelvast-VERSION-win64.zip  with kelvast.exe (stripped), README.txt, SHA256SUMS
# Two runs on one commit give byte-identical files, in any folder and at any time: the build has no
# time stamps or build paths in it, and the zip's entries have fixed times, order and modes.
# Usage: scripts/package.sh [BUILD_DIR [DIST_DIR]]   (defaults build/package and build/dist)
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build/package}
dist=${2:-build/dist}
case $build in /*) ;; *) build="$root/$build" ;; esac
case $dist in /*) ;; *) dist="$root/$dist" ;; esac

version=$(sed -n 's/^project(Kelvast VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip_name="kelvast-$version-win64.zip"
# The commit's time, which the build also shows as its build date.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH="$epoch"
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
    echo "package.sh: note: the working tree has uncommitted changes; they are packed too"
fi

mkdir -p "$build"
log="$build/package-build.log"
if ! { cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKELVAST_TESTS=OFF &&
       cmake --build "$build" --target kelvast -j 2; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "package.sh: build failed (whole log: $log)"
    exit 1
fi

stage="$build/stage"
rm -rf "$stage"
mkdir -p "$stage" "$dist"
x86_64-w64-mingw32-strip -o "$stage/kelvast.exe" "$build/bin/kelvast.exe"

# README.txt: the user's part of README.md (what it does, download, use, switches, settings) as
# plain text with Windows line ends.
awk '
    function underline(t, c,   u, i) { u = ""; for (i = 0; i < length(t); i++) u = u c; return u }
    function strip_links(s,   out, m) {
        out = ""
        while (match(s, /\[[^]]*\]\([^)]*\)/)) {
            m = substr(s, RSTART, RLENGTH)
            sub(/\]\(.*/, "", m)
            out = out substr(s, 1, RSTART - 1) substr(m, 2)
            s = substr(s, RSTART + RLENGTH)
        }
        return out s
    }
    NR == 1 { keep = 1 }
    /^## / { keep = ($0 == "## Download and run" || $0 == "## Using it") }
    !keep { next }
    /^```/ { code = !code; next }
    code { print "    " $0; next }
    /^!?\[[^]]*\]\(docs\// { next }
    /^\|[-|]*\|$/ { next }
    /^\|/ {
        split($0, cell, /[ ]*[|][ ]*/)
        first = cell[2]; rest = cell[3]
        gsub(/`/, "", first); gsub(/`/, "", rest)
        printf "  %-13s %s\n", first, rest
        next
    }
    {
        line = strip_links($0)
        gsub(/\*\*/, "", line)
        gsub(/`/, "", line)
        if (line ~ /^# /) { t = substr(line, 3); print t; print underline(t, "="); next }
        if (line ~ /^## /) { t = substr(line, 4); print t; print underline(t, "-"); next }
        if (line ~ /^### /) { print substr(line, 5); next }
        print line
    }
' README.md | cat -s | sed 's/$/\r/' >"$stage/README.txt"

(cd "$stage" && sha256sum kelvast.exe README.txt >SHA256SUMS)

# Fixed entry times (the commit's, in UTC), modes and order; no extra fields.
for f in kelvast.exe README.txt SHA256SUMS; do
    chmod 0644 "$stage/$f"
    touch -d "@$epoch" "$stage/$f"
done
rm -f "$dist/$zip_name"
(cd "$stage" && TZ=UTC zip -X -D -q "$dist/$zip_name" kelvast.exe README.txt SHA256SUMS)

echo "$dist/$zip_name"
(cd "$stage" && cat SHA256SUMS)
echo "$(sha256sum "$dist/$zip_name" | cut -d' ' -f1)  $zip_name"
