#!/usr/bin/env bash
# End to end: "/S" with a headline and three pictures on a 1024 × 768 X server. Screenshots show
# the headline, then each picture at its size and place; a one-pixel mouse move ends the program
# within a second; the cursor is invisible during the show.
# Usage: saver_show.sh <tavello binary> <cursor probe binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
probe=$2
e2e_prepare saver_e2e
mkdir -p "$XDG_CONFIG_HOME/tavello"

# Three solid pictures: a JPEG, a BMP and a PNG.
convert -size 640x480 xc:'#ff0000' -quality 95 "$work/red.jpg"
convert -size 2000x500 xc:'#00ff00' "BMP3:$work/green.bmp"
convert -size 500x2000 xc:'#0000ff' "PNG24:$work/blue.png"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "E2E HEADLINE" 0 \
  "$work/red.jpg" "$work/green.bmp" "$work/blue.png" > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

[ "$("$probe")" = visible ] || fail "the probe does not see the server's own cursor"

"$tavello" /S &
pid=$!

# The headline: white text somewhere on the centre line, black corners.
for _ in $(seq 50); do
  shot
  white=$(convert "$work/shot.png" -crop 1024x80+0+344 -threshold 50% -format '%[fx:mean>0.002]' info:)
  [ "$white" = 1 ] && break
  sleep 0.1
done
[ "$white" = 1 ] || fail "no headline on the screen"
holds "5 5 0,0,0" "1018 762 0,0,0" || fail "corner not black under the headline"
echo "seen: headline"
[ "$("$probe")" = hidden ] || fail "cursor visible during the show"

black="0,0,0"
wait_for "red 640x480 at 192,144" "193 145 255,0,0" "830 622 255,0,0" "512 384 255,0,0" \
  "190 384 $black" "512 142 $black" "834 384 $black" "512 626 $black"
wait_for "green 1024x256 at 0,256" "1 257 0,255,0" "1022 510 0,255,0" \
  "512 253 $black" "512 514 $black"
wait_for "blue 192x768 at 416,0" "417 1 0,0,255" "606 766 0,0,255" \
  "413 384 $black" "610 384 $black"
[ "$("$probe")" = hidden ] || fail "cursor visible over a picture"

# One pixel of movement ends the program within a second.
xdotool mousemove_relative 1 0
wait_exit 1 "still running a second after a 1-pixel move" || fail "exit status $?"
echo "ended after a 1-pixel move"
