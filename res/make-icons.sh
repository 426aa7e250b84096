#!/bin/sh
# Draws the program's clock icons with ImageMagick and writes the .ico files beside this script.
#   kelvast.ico            16, 32 and 48 pixels, full colour: the exe's and the dialog's icon; the
#                          48-pixel image is stored as PNG (Vista and later), a third of its bitmap
#   kelvast-1.ico          32 pixels, 16 colours
#   kelvast-2..4.ico       32 pixels, 256 colours: the same clock in other colours and times
# Each clock is drawn at 256 pixels and scaled down, so the small sizes stay smooth.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# clock OUT RIM FACE HANDS HOUR_DEG MINUTE_DEG ACCENT
# Angles are clockwise from twelve o'clock.
clock() {
    out=$1 rim=$2 face=$3 hands=$4 hour=$5 minute=$6 accent=$7
    ticks=""
    for i in 0 1 2 3 4 5 6 7 8 9 10 11; do
        inner=88
        [ $((i % 3)) -eq 0 ] && inner=76
        ticks="$ticks $(awk -v a="$i" -v r0="$inner" 'BEGIN {
            t = a * 30 * 3.14159265 / 180
            printf "line %.1f,%.1f %.1f,%.1f", 128 + r0 * sin(t), 128 - r0 * cos(t), 128 + 100 * sin(t), 128 - 100 * cos(t)
        }')"
    done
    hand() { # ANGLE LENGTH
        awk -v a="$1" -v l="$2" 'BEGIN {
            t = a * 3.14159265 / 180
            printf "line 128,128 %.1f,%.1f", 128 + l * sin(t), 128 - l * cos(t)
        }'
    }
    convert -size 256x256 xc:none \
        -fill "$rim" -draw "circle 128,128 128,6" \
        -fill "$face" -draw "circle 128,128 128,24" \
        -stroke "$hands" -strokewidth 10 -draw "$ticks" \
        -stroke "$hands" -strokewidth 22 -draw "$(hand "$hour" 58)" \
        -strokewidth 14 -draw "$(hand "$minute" 88)" \
        -stroke "$accent" -strokewidth 6 -draw "$(hand $((minute + 150)) 92)" \
        -stroke none -fill "$accent" -draw "circle 128,128 128,114" \
        "$work/$out.png"
}

clock main '#1f4e9c' '#fdfdf6' '#1b1b1b' 300 60 '#d62a2a'
clock blue '#1f4e9c' '#ffffff' '#000000' 300 60 '#d62a2a'
clock green '#2f7d32' '#f4fbef' '#1b1b1b' 90 0 '#f08c00'
clock amber '#c76b00' '#fff8e6' '#3a2200' 150 240 '#1f4e9c'
clock grey '#555b66' '#eef1f5' '#111111' 15 180 '#d62a2a'

for s in 16 32 48; do
    convert "$work/main.png" -filter Lanczos -resize ${s}x${s} "$work/main-$s.png"
done
convert "$work/main-16.png" "$work/main-32.png" "$work/main-48.png" kelvast.ico
convert "$work/main-48.png" -strip "$work/main-48-stored.png"
# Replaces the 48-pixel entry's bitmap with the PNG, keeping the entries' order.
python3 - kelvast.ico "$work/main-48-stored.png" <<'PY'
import struct, sys
ico_path, png_path = sys.argv[1], sys.argv[2]
data = open(ico_path, "rb").read()
count = struct.unpack_from("<H", data, 4)[0]
entries = [struct.unpack_from("<BBBBHHII", data, 6 + 16 * i) for i in range(count)]
images = [open(png_path, "rb").read() if e[0] == 48 else data[e[7]:e[7] + e[6]] for e in entries]
out = bytearray(struct.pack("<HHH", 0, 1, count))
offset = 6 + 16 * count
for e, image in zip(entries, images):
    out += struct.pack("<BBBBHHII", *e[:6], len(image), offset)
    offset += len(image)
open(ico_path, "wb").write(bytes(out + b"".join(images)))
PY

small() { # IN OUT COLOURS
    convert "$work/$1.png" -filter Lanczos -resize 32x32 \
        -channel A -threshold 50% +channel -dither None -colors "$3" -type PaletteMatte "$2"
}
small blue kelvast-1.ico 16
small green kelvast-2.ico 256
small amber kelvast-3.ico 256
small grey kelvast-4.ico 256
