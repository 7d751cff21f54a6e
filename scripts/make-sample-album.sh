#!/bin/sh
# Draws the sample album (our own pictures: gradients, shapes and the name) into samples/album/.
# Needs ImageMagick and the IPA Gothic font (fonts-ipafont-gothic). Re-running gives the same files.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/samples/album"
mkdir -p "$out"

font=IPAPGothic
if ! convert -list font 2>/dev/null | grep -q "Font: $font\$"; then font=""; fi
fontopt() { if [ -n "$font" ]; then printf -- '-font\n%s\n' "$font"; fi; }

# Landscape 1600 x 1200: a dusk sky, a low sun, two ranges of hills and the name.
convert -size 1600x1200 gradient:'#ffb36b'-'#5b3f8c' \
  -fill '#ffe9a8' -draw 'circle 1100,760 1100,620' \
  -fill '#3c2f5e' -draw 'polygon 0,900 260,700 520,860 820,640 1120,880 1400,720 1600,820 1600,1200 0,1200' \
  -fill '#241b3a' -draw 'polygon 0,1040 360,900 700,1010 1040,930 1360,1040 1600,980 1600,1200 0,1200' \
  $(fontopt) -pointsize 150 -fill '#fff6e0' -gravity north -annotate +0+120 'TAVELLO' \
  -strip -quality 85 "$out/01-dusk-1600x1200.jpg"

# Portrait 900 x 1200: a tall sea-blue picture with stacked rounded tiles.
convert -size 900x1200 gradient:'#0d3b66'-'#7fd1c7' \
  -fill '#f4d35e' -draw 'roundrectangle 150,180 750,420 40,40' \
  -fill '#ee964b' -draw 'roundrectangle 220,500 680,740 40,40' \
  -fill '#f95738' -draw 'roundrectangle 290,820 610,1060 40,40' \
  $(fontopt) -pointsize 110 -fill '#0d3b66' -gravity north -annotate +0+235 'TAVELLO' \
  -strip -quality 85 "$out/02-tiles-900x1200.jpg"

# 640 x 480: a meadow with round flowers.
convert -size 640x480 gradient:'#bfe6ff'-'#3f8f4f' \
  -fill '#ffffff' -draw 'circle 120,330 120,300' -fill '#ffd23f' -draw 'circle 120,330 120,318' \
  -fill '#ff7aa2' -draw 'circle 300,380 300,345' -fill '#ffd23f' -draw 'circle 300,380 300,366' \
  -fill '#c77dff' -draw 'circle 500,320 500,292' -fill '#ffd23f' -draw 'circle 500,320 500,309' \
  $(fontopt) -pointsize 64 -fill '#1d4d2a' -gravity north -annotate +0+60 'TAVELLO' \
  -strip -quality 85 "$out/03-meadow-640x480.jpg"

# A BMP, 360 x 240: a night sky with a crescent moon.
convert -size 360x240 gradient:'#0b1026'-'#2b3a67' \
  -fill '#f6f1d5' -draw 'circle 270,80 270,40' -fill '#141c39' -draw 'circle 250,70 250,32' \
  -fill '#ffffff' -draw 'point 40,30' -draw 'point 90,60' -draw 'point 150,25' -draw 'point 60,110' \
  $(fontopt) -pointsize 36 -fill '#f6f1d5' -gravity south -annotate +0+24 'TAVELLO' \
  -strip -type TrueColor "BMP3:$out/04-night-360x240.bmp"

ls -l "$out"
