#!/bin/sh
# Fonts for a Wine prefix, so that programs look there as they do on Windows.
#   wine-fonts.sh own     PREFIX   link Wine's own fonts (Marlett draws the caption buttons, Tahoma,
#                                  MS Sans Serif...) that the prefix lacks into its Fonts folder
#   wine-fonts.sh windows PREFIX   the same, and draw "Courier New" with the metric-compatible
#                                  Liberation Mono (a registry replacement in the prefix)
# Debian's fonts-wine installs Wine's fonts where this Wine build does not look for them; a prefix's
# own C:\windows\Fonts is always searched. Run after the prefix exists (wineboot), with WINEPREFIX,
# DISPLAY and WINEDEBUG set as for the programs that will run there.
set -eu
cmd=$1
prefix=$2

wine_fonts=/usr/share/wine/fonts
fonts="$prefix/drive_c/windows/Fonts"
[ -d "$prefix/drive_c/windows" ] || { echo "wine-fonts.sh: $prefix is no Wine prefix yet" >&2; exit 1; }
[ -d "$wine_fonts" ] || { echo "wine-fonts.sh: $wine_fonts missing (package fonts-wine)" >&2; exit 1; }

# Wine finds files in any letter case; so does this test, so a font the prefix has is left alone.
has_font() {
    ls "$fonts" 2>/dev/null | grep -qix -- "$1"
}

add_own_fonts() {
    mkdir -p "$fonts"
    for font in "$wine_fonts"/*; do
        name=$(basename "$font")
        has_font "$name" || ln -s "$font" "$fonts/$name"
    done
}

case "$cmd" in
own)
    add_own_fonts
    ;;
windows)
    add_own_fonts
    wine=$(command -v wine64 || true)
    [ -n "$wine" ] || wine=/usr/lib/wine/wine64
    [ -f /usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf ] ||
        { echo "wine-fonts.sh: Liberation Mono missing (package fonts-liberation2)" >&2; exit 1; }
    WINEPREFIX="$prefix" "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' \
        /d 'Liberation Mono' /f </dev/null >/dev/null 2>&1
    ;;
*)
    echo "usage: wine-fonts.sh own|windows PREFIX" >&2
    exit 2
    ;;
esac
