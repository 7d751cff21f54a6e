#!/usr/bin/env bash
# End to end: a settings preview as xscreensaver's settings start it, with both --root and
# --window-id, while XSCREENSAVER_WINDOW names another window. The show is drawn into the small
# window named by --window-id, scaled by its height over the screen's, and nowhere else; no
# sound is made at all.
# Usage: host_preview.sh <tavello binary> <host_window binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
host_window_bin=$2
e2e_prepare host_preview_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
mkdir -p "$XDG_CONFIG_HOME/tavello"

convert -size 640x480 xc:'#ff0000' -quality 95 "$work/red.jpg"
sox -n -r 44100 -c 2 "$work/song.wav" synth 3 sine 440
printf '%s\r\n' 2 "IPAGothic" 40 "100%" "$work/song.wav" "E2E PREVIEW" 0 "$work/red.jpg" \
  >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

host_open other 50 50 400 300
host_open preview 600 400 256 192
shot
cp "$work/shot.png" "$work/before.png"

XSCREENSAVER_WINDOW=$other_id "$tavello" --root --window-id "$preview_id" &
pid=$!

for _ in $(seq 50); do
  shot
  white_inside "600 400 256 192" && break
  kill -0 "$pid" 2>/dev/null || fail "program ended before the headline"
  sleep 0.1
done
white_inside "600 400 256 192" || fail "no headline in the preview window"
same_outside "$work/before.png" "600 400 256 192" || fail "drawn outside the preview window"
echo "seen: headline in the preview only"

# 640 × 480 at 100 %, scaled by 192 / 768: 160 × 120, centred in the preview.
black="0,0,0"
wait_for "red 160x120 at 648,436" "650 438 255,0,0" "805 553 255,0,0" "645 495 $black" \
  "810 495 $black" "728 433 $black" "728 558 $black" "603 403 $black"
same_outside "$work/before.png" "600 400 256 192" || fail "drawn outside the preview window"
holds "250 200 64,64,64" || fail "the window named by XSCREENSAVER_WINDOW was drawn into"
[ "$(file_size "$SDL_DISKAUDIOFILE")" = 0 ] || fail "the preview made a sound"
[ ! -e "$XDG_RUNTIME_DIR/music.lock" ] || fail "the preview took the music lock"

kill -TERM "$pid"
status=0
wait_exit 1 "still running a second after SIGTERM" || status=$?
# After its clean-up it dies by the signal, as a host expects of a hack: 128 + 15.
[ "$status" -eq 143 ] || fail "exit status $status after SIGTERM, not 143"
pid=""
echo "silent preview ended on SIGTERM, killed by it"
