#!/usr/bin/env bash
# End to end: "/S" over an album of one picture in each format beyond JPEG and BMP - PNG, GIF,
# WebP, TIFF, HEIC and AVIF - each made here by ImageMagick (HEIC and AVIF through libheif), each
# a solid colour. Screenshots show every one at its size and place, in its own colour.
# Usage: saver_formats.sh <tavello binary>
# The album is one folder entry ("album/"), as people keep their photos.
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
e2e_prepare saver_formats_e2e
mkdir -p "$XDG_CONFIG_HOME/tavello" "$work/album"

# Named 1 to 6, so the folder's order is the colours' order.
formats=(png gif webp tif heic avif)
colours=(255,0,0 0,255,0 0,0,255 255,255,0 255,0,255 0,255,255)
for i in "${!formats[@]}"; do
  name="$work/album/$((i + 1)).${formats[i]}"
  convert -size 320x240 "xc:rgb(${colours[i]})" "$name" ||
    fail "ImageMagick could not write ${formats[i]}"
done

printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "E2E FORMATS" 0 "$work/album/" \
  > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

"$tavello" /S &
pid=$!

# Each picture, 320 × 240 at 352,264: its colour inside, black around it.
black="0,0,0"
for i in "${!formats[@]}"; do
  c=${colours[i]}
  wait_for "${formats[i]} 320x240 at 352,264" "353 265 $c" "670 502 $c" "512 384 $c" \
    "349 384 $black" "675 384 $black" "512 261 $black" "512 507 $black"
done

xdotool mousemove_relative 1 0
wait_exit 1 "still running a second after a 1-pixel move" || fail "exit status $?"
echo "ended after a 1-pixel move"
