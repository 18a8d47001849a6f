#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Puts every generated picture on one sheet for a look by eye (needs ImageMagick): the
# backgrounds, the icon at each size (enlarged and at its own size on light and dark), the
# small pictures enlarged over a checkerboard and where they sit, the plate over the main
# background, and every frame of each banner.
# Usage: tools/contact-sheet.sh <tree with assets/ and data/image/> <output.png>
set -euo pipefail
src="$1"
out="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
a="$src/assets"
d="$src/data/image"
style=(-background '#2b2b2b' -fill white -pointsize 13)

# checker <in> <scale> <out>: enlarged without smoothing over a grey checkerboard.
checker() {
    local size
    size="$(identify -format "%[fx:w*$2]x%[fx:h*$2]" "$1")"
    convert -size "$size" pattern:checkerboard -modulate 60 \
        \( "$1" -filter point -resize "$(($2 * 100))%" \) -compose over -composite "$3"
}
# on <background> <crop WxH+X+Y> <picture> <x> <y> <scale> <out>: the picture where it sits.
on() {
    convert "$1" -crop "$2" +repage "$3" -geometry "+$4+$5" -compose over -composite \
        -filter point -resize "$(($6 * 100))%" "$7"
}

convert "$a/FrmMain.bmp" "$work/main.png"
convert "$a/FrmOption.bmp" "$work/option.png"
montage "${style[@]}" -label 'FrmMain.bmp 960x600' "$work/main.png" \
    -label 'FrmOption.bmp 805x544' "$work/option.png" -tile 2x1 -geometry '+10+10' "$work/s1.png"

args=()
for i in 0 1 2 3 4 5; do
    convert "$a/Loomhaven.ico[$i]" "$work/ico$i.png"
    checker "$work/ico$i.png" 4 "$work/ico$i-x4.png"
    args+=(-label "ico[$i] $(identify -format '%wx%h' "$work/ico$i.png") x4" "$work/ico$i-x4.png")
done
for bg in '#f0f0f0' '#202830'; do
    for i in 2 5; do
        convert -size 64x40 "xc:$bg" "$work/ico$i.png" -gravity center -compose over -composite \
            "$work/tray$i${bg#\#}.png"
        args+=(-label "ico[$i] 1:1" "$work/tray$i${bg#\#}.png")
    done
done
montage "${style[@]}" "${args[@]}" -tile 10x -geometry '+10+10' "$work/s2.png"

# The lock panel's pictures over the plate, the plate over the main background.
convert "$work/main.png" -crop 743x545+0+0 +repage \
    "$a/Plate.png" -geometry +156+120 -compose over -composite \
    "$a/Monitor.png" -geometry +246+238 -compose over -composite \
    "$a/Padlock.png" -geometry +246+285 -compose over -composite \
    "$a/QExit.png" -geometry +699+0 -compose over -composite "$work/window.png"
args=()
for f in "$a/QExit.png" "$d/Exit_up.png" "$d/Exit_move.png" "$d/Exit_down.png"; do
    n="$(basename "$f" .png)"
    checker "$f" 5 "$work/$n-x5.png"
    on "$work/main.png" 44x24+699+0 "$f" 0 0 5 "$work/$n-ctx.png"
    args+=(-label "$n x5" "$work/$n-x5.png" -label "$n on the title strip" "$work/$n-ctx.png")
done
for n in Monitor Padlock; do
    checker "$a/$n.png" 5 "$work/$n-x5.png"
    args+=(-label "$n x5" "$work/$n-x5.png")
done
montage "${style[@]}" "${args[@]}" -tile 5x -geometry '+10+10' "$work/s3.png"
convert "$work/window.png" -crop 44x88+236+228 +repage -filter point -resize 400% "$work/icons-ctx.png"

checker "$a/Plate.png" 1 "$work/plate.png"
montage "${style[@]}" -label 'Plate.png 460x310' "$work/plate.png" \
    -label 'main window: plate, icons, close mark over FrmMain.bmp' "$work/window.png" \
    -label 'Monitor, Padlock on the plate x4' "$work/icons-ctx.png" -tile 3x1 -geometry '+10+10' "$work/s4.png"

args=()
for b in 101 102 103; do
    convert "$a/$b.gif" -coalesce "$work/b$b-%02d.png"
    for fr in "$work"/b"$b"-*.png; do
        args+=(-label "$b.gif frame $(basename "$fr" .png | sed 's/.*-//')" "$fr")
    done
done
montage "${style[@]}" "${args[@]}" -tile 2x -geometry '+10+6' "$work/s5.png"

convert "$work"/s[1-5].png -background '#2b2b2b' -gravity northwest -append "$out"
echo "contact sheet: $out"
