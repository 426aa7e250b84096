#!/bin/sh
# Installs, from Debian's packages, whatever the build and the tests need and the machine lacks.
set -eu
need=""
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

for p in cmake g++ make googletest libgtest-dev libbenchmark-dev g++-mingw-w64-x86-64-posix \
         binutils-mingw-w64-x86-64 wine64 fonts-wine fonts-liberation2 xvfb x11-utils xdotool imagemagick \
         clang-format clang-tidy cppcheck clang libclang-rt-14-dev zip; do
    pkg_installed "$p" || need="$need $p"
done
if [ -n "$need" ]; then
    echo "Installing:$need"
    SUDO=""
    [ "$(id -u)" = 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $need >/dev/null
fi
