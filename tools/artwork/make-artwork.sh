#!/usr/bin/env bash
# Draws the program's artwork and writes it into res/:
#
#   buttons.bmp   bitmap 129: the toolbar button faces, 900 x 30, ten faces
#                 of 90 x 30 (five captions, then their hovered looks)
#   clock.bmp     bitmap 131: the clock digits 0-9, the blank and the colon
#                 in rows 0-18, the "clear!" banner in rows 19-105, 293 x 106
#   quorrin.ico   icon 104: 48, 32, 24 and 16 pixels, 32-bit with alpha
#
# The results are committed and the build takes them as they are; run this
# only when the artwork changes, then look at the pictures and commit them.
#
# Needs ImageMagick 6 and three Debian font packages:
#
#   apt-get install imagemagick fonts-mplus fonts-comfortaa
#
# Usage: tools/artwork/make-artwork.sh [output-folder]
#        (the default output folder is res/ of this repository)
#
# How the pictures are made. Shapes are drawn without anti-aliasing at 8 (the
# banner at 4) times the final size and then box-averaged down: a pixel that
# a shape covers fully gets exactly that shape's colour, an edge pixel a mix
# by coverage. The game relies on that: the faces carry their exact face and
# shadow colours, and everything outside a shape is pure white (255, 255,
# 255), which the game's transparent copies leave out. The captions are drawn
# at their final size with the font's hinting so that the small kanji stay
# crisp, and blended onto the face by their coverage.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../../res}
mkdir -p "$out"
out=$(cd "$out" && pwd)

caption_font=/usr/share/fonts/opentype/mplus/Mplus1-Medium.otf
digit_font=/usr/share/fonts/opentype/mplus/Mplus1-ExtraBold.otf
icon_font=/usr/share/fonts/opentype/mplus/Mplus1-Black.otf
banner_font=/usr/share/fonts/truetype/comfortaa/Comfortaa-Bold.ttf

command -v convert >/dev/null || { echo "make-artwork: ImageMagick's convert is missing (apt-get install imagemagick)" >&2; exit 1; }
for f in "$caption_font" "$digit_font" "$icon_font" "$banner_font"; do
    [[ -f $f ]] || { echo "make-artwork: font $f is missing (apt-get install fonts-mplus fonts-comfortaa)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Colours of the artwork, as red, green, blue.
face='rgb(239,228,176)'
face_hot='rgb(224,204,121)'
face_light='rgb(252,247,226)'      # the bevel along the top and left inner edge
face_light_hot='rgb(240,226,168)'
shadow='rgb(127,127,127)'
shadow_hot='rgb(63,63,63)'
orange='rgb(255,127,66)'
orange_hot='rgb(255,63,17)'
brown='rgb(185,122,87)'
magenta='rgb(224,0,128)'
pink='rgb(244,64,192)'
violet='rgb(128,96,128)'

# Paint colour $2 onto image $1 through the grey mask $3 (white = fully
# covered) placed at +$4+$5, in place.
paint() {
    local w h
    w=$(identify -format %w "$3")
    h=$(identify -format %h "$3")
    convert "$1" \( -size "${w}x${h}" "xc:$2" "$3" -alpha off -compose CopyOpacity -composite \) \
        -geometry "+$4+$5" -compose Over -composite "$1"
}

# The bounding box of the non-black pixels of a mask, as "w h x y".
bbox() {
    convert "$1" -format '%@\n' info: | sed 's/[x+]/ /g'
}

######################################################################
# Bitmap 129: the button faces.
#
# In face pixels: the black outline is the rounded rectangle x 1-86, y 1-26
# (corner radius 5), its inside x 2-85, y 2-25 is the face with a one-pixel
# lighter bevel along the top and the left; the shadow is the same shape two
# pixels further right and down, so that it shows two pixels wide below and
# to the right. Column 0 and 89 and row 0 and 29 stay white, and so do the
# rounded corners.

S=8
lo() { echo $(($1 * S)); }             # first hi-res pixel of face pixel $1
hi() { echo $((($1 + 1) * S - 1)); }   # last hi-res pixel of face pixel $1

draw_face() { # face-colour bevel-colour shadow-colour output
    local r=5
    convert -size $((90 * S))x$((30 * S)) xc:white +antialias \
        -fill "$3" -draw "roundrectangle $(lo 3),$(lo 3) $(hi 88),$(hi 28) $((r * S)),$((r * S))" \
        -fill black -draw "roundrectangle $(lo 1),$(lo 1) $(hi 86),$(hi 26) $((r * S)),$((r * S))" \
        -fill "$2" -draw "roundrectangle $(lo 2),$(lo 2) $(hi 85),$(hi 25) $(((r - 1) * S)),$(((r - 1) * S))" \
        -fill "$1" -draw "roundrectangle $(lo 3),$(lo 3) $(hi 85),$(hi 25) $(((r - 2) * S)),$(((r - 2) * S))" \
        -scale 90x30! "$4"
}
draw_face "$face" "$face_light" "$shadow" face.png
draw_face "$face_hot" "$face_light_hot" "$shadow_hot" face_hot.png

captions=("問題の選択" "最初から" "トライ" "トライ決定" "トライ消去")
caption_size=13

# Each caption as a coverage mask at its final size, all on one baseline.
for i in 0 1 2 3 4; do
    convert -size 120x40 xc:black -font "$caption_font" -pointsize $caption_size -fill white \
        -annotate +10+28 "${captions[$i]}" "caption$i.png"
done
# The rows that any caption touches, so that all five share one baseline.
top=99
bottom=0
for i in 0 1 2 3 4; do
    read -r w h x y < <(bbox "caption$i.png")
    if ((y < top)); then top=$y; fi
    if ((y + h > bottom)); then bottom=$((y + h)); fi
done
rows=$((bottom - top))
# Centred on the face's inside, x 2-85 and y 2-25.
caption_y=$(((2 + 26 - rows) / 2))

make_button() { # face caption-index caption-colour output
    local w h x y
    read -r w h x y < <(bbox "caption$2.png")
    convert "caption$2.png" -crop "${w}x${rows}+${x}+${top}" +repage mask.png
    cp "$1" "$4"
    paint "$4" "$3" mask.png $(((2 + 86 - w) / 2)) $caption_y
}
make_button face.png 0 black b0.png
make_button face.png 1 black b1.png
make_button face.png 2 black b2.png
make_button face.png 3 "$orange" b3.png
make_button face.png 4 "$orange" b4.png
make_button face_hot.png 0 black b5.png
make_button face_hot.png 1 black b6.png
make_button face_hot.png 2 black b7.png
make_button face_hot.png 3 "$orange_hot" b8.png
make_button face_hot.png 4 "$orange_hot" b9.png
convert b0.png b1.png b2.png b3.png b4.png b5.png b6.png b7.png b8.png b9.png +append \
    -alpha off -type truecolor "BMP3:$out/buttons.bmp"

######################################################################
# Bitmap 131, rows 0-18: the clock. Digit d in the 15 x 19 cell at x = 15 d,
# the blank cell at 150, the colon in the 8 x 19 cell at 165, white after.

S=8
digit_size=19
for d in 0 1 2 3 4 5 6 7 8 9; do
    convert -size $((40 * S))x$((40 * S)) xc:black -font "$digit_font" -pointsize $((digit_size * S)) \
        -fill white -annotate +$((5 * S))+$((30 * S)) "$d" "digit$d.png"
done
# One baseline for all digits. The clock is drawn 9 pixels lower than the
# button faces, so the digits sit high in their row (from row 1) to line up
# better with the captions beside them.
top=99999
bottom=0
for d in 0 1 2 3 4 5 6 7 8 9; do
    read -r w h x y < <(bbox "digit$d.png")
    if ((y < top)); then top=$y; fi
    if ((y + h > bottom)); then bottom=$((y + h)); fi
done
rows=$((bottom - top))
digit_y=$((1 * S))
cells=()
for d in 0 1 2 3 4 5 6 7 8 9; do
    read -r w h x y < <(bbox "digit$d.png")
    # Each digit centred in its cell, to the hi-res pixel.
    convert -size $((15 * S))x$((19 * S)) xc:black \
        \( "digit$d.png" -crop "${w}x${rows}+${x}+${top}" +repage \) \
        -geometry +$(((15 * S - w) / 2))+$digit_y -compose Lighten -composite "cell$d.png"
    cells+=("cell$d.png")
done
# The colon: two round dots on the cell's middle column, around the middle
# of the digits.
colon_x=$((4 * S))
colon_mid=$((digit_y + rows / 2))
colon_gap=$((7 * S / 2))
colon_r=$((19 * S / 10))
convert -size $((8 * S))x$((19 * S)) xc:black +antialias -fill white \
    -draw "circle $colon_x,$((colon_mid - colon_gap)) $((colon_x + colon_r)),$((colon_mid - colon_gap))" \
    -draw "circle $colon_x,$((colon_mid + colon_gap)) $((colon_x + colon_r)),$((colon_mid + colon_gap))" \
    colon.png
convert "${cells[@]}" -size $((15 * S))x$((19 * S)) xc:black colon.png \
    -size $(((293 - 173) * S))x$((19 * S)) xc:black +append -scale 293x19! clock_mask.png
convert -size 293x19 xc:white clock_row.png
paint clock_row.png "$brown" clock_mask.png 0 0

######################################################################
# Bitmap 131, rows 19-105: the "clear!" banner, 293 x 87. The letters are
# made bolder and rounder by growing them with a disc; around them runs the
# grey-violet outline, pushed out to the lower right for some depth. The pink
# highlight covers the upper part of each letter, inset from its edges, and
# a rim along the letters' upper edges.

S=4
W=$((293 * S))
H=$((87 * S))
banner_size=74   # points at the final size
kerning=11        # extra pixels between the letters, which grow into each other otherwise
grow=14          # hi-res pixels the letters grow by
line=14          # width of the outline, hi-res pixels
depth=10         # how far the outline reaches further to the lower right
inset=10         # how far inside the letter's edge the highlight stays
rim=16           # height of the highlight along the letters' upper edges
gloss=42         # the highlight covers this percentage of the x-height from its top

text() { # x y string output: white text on black, baseline at (x, y)
    convert -size $((W * 2))x$((H * 2)) xc:black -font "$banner_font" -pointsize $((banner_size * S)) \
        -kerning $((kerning * S)) -fill white -annotate "+$1+$2" "$3" "$4"
}
x0=$((60 * S))
y0=$((100 * S))
text $x0 $y0 "clear!" word.png
read -r bw bh bx by < <(bbox word.png)
text $x0 $y0 "cea" xheight.png
read -r _ _ _ xtop < <(bbox xheight.png)
# Centre the word with its outline and the outline's depth.
dx=$(((W - bw) / 2 - bx - depth / 2))
dy=$(((H - bh) / 2 - by - depth / 2))
convert -size ${W}x${H} xc:black -font "$banner_font" -pointsize $((banner_size * S)) \
    -kerning $((kerning * S)) -fill white -annotate +$((x0 + dx))+$((y0 + dy)) "clear!" letters.png
convert letters.png -morphology Dilate "Disk:$grow" fill.png
convert fill.png -morphology Dilate "Disk:$line" outline.png
layers=(outline.png)
for ((k = 1; k <= depth; k++)); do
    layers+=(\( outline.png -roll "+$k+$k" \) -compose Lighten -composite)
done
convert "${layers[@]}" outline.png
convert fill.png -morphology Erode "Disk:$inset" inner.png
gloss_bottom=$((xtop + dy - grow + (y0 - xtop) * gloss / 100))
convert inner.png \( inner.png -roll "+0+$rim" -negate \) -compose Multiply -composite \
    \( inner.png \( -size ${W}x${H} xc:black -fill white -draw "rectangle 0,0 $W,$gloss_bottom" \) \
    -compose Multiply -composite \) -compose Lighten -composite highlight.png
convert -size ${W}x${H} xc:white banner_hi.png
paint banner_hi.png "$violet" outline.png 0 0
paint banner_hi.png "$magenta" fill.png 0 0
paint banner_hi.png "$pink" highlight.png 0 0
convert banner_hi.png -scale 293x87! banner.png

convert clock_row.png banner.png -append -alpha off -type truecolor "BMP3:$out/clock.bmp"

######################################################################
# Icon 104: a small board of 2 x 2 cells on a beige tile, the loop round
# three of the cells, and at the two larger sizes the clue 3 in the cell
# with three sides on the loop. Each size has its own grid so that the lines
# fall on whole pixels.

S=8
ink='rgb(38,38,38)'
dot_grey='rgb(91,87,88)'
tile_edge='rgb(120,96,48)'

# A point in icon pixels (pixel i spans i to i + 1) as a hi-res drawing
# coordinate (hi-res pixel centres lie on whole numbers).
hc() { awk -v u="$1" -v s=$S 'BEGIN { printf "%.2f", u * s - 0.5 }'; }
hp() { echo "$(hc "$1"),$(hc "$2")"; }

icon() { # size first-dot pitch line-width dot-radius tile-radius clue-points output
    local n=$1 c0=$2 p=$3 lw=$4 dr=$5 tr=$6 clue=$7 png=$8
    local xs=() k i j
    for k in 0 1 2; do xs[k]=$(awk -v a="$c0" -v p="$p" -v k=$k 'BEGIN { print a + p * k }'); done
    local a=${xs[0]} b=${xs[1]} c=${xs[2]}
    # The loop runs round the top row and the bottom-left cell.
    local loop
    loop="$(hp "$a" "$a") $(hp "$c" "$a") $(hp "$c" "$b") $(hp "$b" "$b") $(hp "$b" "$c") $(hp "$a" "$c") $(hp "$a" "$a")"
    local dots="" rim
    for i in 0 1 2; do
        rim=$(awk -v u="${xs[i]}" -v r="$dr" 'BEGIN { print u + r }')
        for j in 0 1 2; do
            dots+=" circle $(hp "${xs[i]}" "${xs[j]}") $(hp "$rim" "${xs[j]}")"
        done
    done
    local ow inner
    ow=$(awk -v n="$n" 'BEGIN { print (n >= 32) ? 1.5 : 1 }')
    inner=$(awk -v n="$n" -v o="$ow" 'BEGIN { print n - o }')
    convert -size $((n * S))x$((n * S)) xc:none +antialias \
        -fill "$tile_edge" -draw "roundrectangle 0,0 $((n * S - 1)),$((n * S - 1)) $((tr * S)),$((tr * S))" \
        -fill "$face" -draw "roundrectangle $(hc "$ow"),$(hc "$ow") $(hc "$inner"),$(hc "$inner") $(((tr - 1) * S)),$(((tr - 1) * S))" \
        -fill none -stroke "$ink" -strokewidth $((lw * S)) -draw "stroke-linejoin round polyline $loop" \
        -stroke none -fill "$dot_grey" -draw "$dots" icon_hi.png
    if ((clue > 0)); then
        local cx cy w h
        cx=$(awk -v a="$b" -v b="$c" -v s=$S 'BEGIN { printf "%d", (a + b) / 2 * s }')
        cy=$(awk -v a="$a" -v b="$b" -v s=$S 'BEGIN { printf "%d", (a + b) / 2 * s }')
        convert -size $((n * S))x$((n * S)) xc:black -font "$icon_font" -pointsize $((clue * S)) -fill white \
            -annotate +$((n * S / 4))+$((n * S * 3 / 4)) 3 -trim +repage clue.png
        w=$(identify -format %w clue.png)
        h=$(identify -format %h clue.png)
        paint icon_hi.png "$orange" clue.png $((cx - w / 2)) $((cy - h / 2))
    fi
    convert icon_hi.png -scale "${n}x${n}!" "$png"
}
icon 48 9 15 4 2.75 8 13 icon48.png
icon 32 6 10 2 1.75 6 10 icon32.png
icon 24 5 7 2 1.25 4 0 icon24.png
icon 16 3 5 2 1 3 0 icon16.png
convert icon48.png icon32.png icon24.png icon16.png "$out/quorrin.ico"

echo "make-artwork: wrote $out/buttons.bmp, $out/clock.bmp and $out/quorrin.ico"
