#!/usr/bin/env bash
# End to end: "/S" with a headline and three pictures on a 1024 × 768 X server. Screenshots show
# the headline, then each picture at its size and place; a one-pixel mouse move ends the program
# within a second; the cursor is invisible during the show.
# Usage: saver_show.sh <tavello binary> <cursor probe binary>
set -euo pipefail

if [ -z "${SAVER_E2E_INNER:-}" ]; then
  export SAVER_E2E_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

tavello=$1
probe=$2
work=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME/tavello" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

fail() { echo "FAIL: $*" >&2; [ -f "$work/shot.png" ] && cp "$work/shot.png" "${TMPDIR:-/tmp}/saver_e2e_last.png"; exit 1; }

# Three solid pictures: a JPEG, a BMP and a PNG.
convert -size 640x480 xc:'#ff0000' -quality 95 "$work/red.jpg"
convert -size 2000x500 xc:'#00ff00' "BMP3:$work/green.bmp"
convert -size 500x2000 xc:'#0000ff' "PNG24:$work/blue.png"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "E2E HEADLINE" 0 \
  "$work/red.jpg" "$work/green.bmp" "$work/blue.png" > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

shot() { import -window root "$work/shot.png"; }
# "r g b" for each "x y" given, from the last screenshot, one line each, in one pass.
pixels() {
  local format=""
  for point in "$@"; do
    read -r x y <<<"$point"
    format+="%[fx:int(255*p{$x,$y}.r+.5)] %[fx:int(255*p{$x,$y}.g+.5)] %[fx:int(255*p{$x,$y}.b+.5)]\n"
  done
  convert "$work/shot.png" -format "$format" info:
}
# Whether every "x y r,g,b" check holds on the last screenshot, each channel within 24.
holds() {
  local points=() wants=()
  for check in "$@"; do
    read -r x y rgb <<<"$check"
    points+=("$x $y")
    wants+=("${rgb//,/ }")
  done
  local i=0 got want
  while read -r -a got; do
    read -r -a want <<<"${wants[i]}"
    for c in 0 1 2; do
      local d=$((got[c] - want[c]))
      [ "${d#-}" -le 24 ] || return 1
    done
    i=$((i + 1))
  done < <(pixels "${points[@]}")
}
# Waits (up to 12 s) until every check holds on a fresh screenshot.
wait_for() {
  local name=$1; shift
  for _ in $(seq 120); do
    shot
    if holds "$@"; then echo "seen: $name"; return 0; fi
    kill -0 "$pid" 2>/dev/null || fail "program ended before $name"
    sleep 0.1
  done
  fail "$name not seen"
}

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
for _ in $(seq 20); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then fail "still running a second after a 1-pixel move"; fi
wait "$pid" || fail "exit status $?"
echo "ended after a 1-pixel move"
