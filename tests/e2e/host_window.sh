#!/usr/bin/env bash
# End to end: the show as a hack in a host's 320 × 240 window (a stand-in made by host_window) on a
# 1024 × 768 X server, started as the hosts start it (--root, XSCREENSAVER_WINDOW). The headline
# and then the pictures appear inside that window, scaled down by its height over the screen's;
# nothing outside it changes; the show follows the window's resize; SIGTERM ends it within a
# second, killed by the signal after its clean-up, and the sound stops; destroying the window
# ends it too, and a window that does not exist ends it at once.
# Usage: host_window.sh <tavello binary> <host_window binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
host_window_bin=$2
e2e_prepare host_window_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
mkdir -p "$XDG_CONFIG_HOME/tavello"

convert -size 640x480 xc:'#ff0000' -quality 95 "$work/red.jpg"
convert -size 2000x500 xc:'#00ff00' "BMP3:$work/green.bmp"
sox -n -r 44100 -c 2 "$work/song.wav" synth 3 sine 440
printf '%s\r\n' 2 "IPAGothic" 40 "100%" "$work/song.wav" "E2E HOST" 0 \
  "$work/red.jpg" "$work/green.bmp" >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

host_open host 200 150 320 240
shot
cp "$work/shot.png" "$work/before.png"
holds "300 250 64,64,64" "100 100 32,48,80" || fail "the stand-in host window is not on the screen"

XSCREENSAVER_WINDOW=$host_id "$tavello" --root &
pid=$!

# The headline: white text inside the window, nothing outside changed.
for _ in $(seq 50); do
  shot
  white_inside "200 150 320 240" && break
  kill -0 "$pid" 2>/dev/null || fail "program ended before the headline"
  sleep 0.1
done
white_inside "200 150 320 240" || fail "no headline in the host window"
holds "205 155 0,0,0" "515 385 0,0,0" || fail "the host window is not black around the headline"
same_outside "$work/before.png" "200 150 320 240" || fail "the screen changed outside the window"
echo "seen: headline inside the window"

# 640 × 480 at 100 %, scaled by 240 / 768: 200 × 150, centred in the window.
black="0,0,0"
wait_for "red 200x150 at 260,195" "262 197 255,0,0" "457 342 255,0,0" "360 270 255,0,0" \
  "257 270 $black" "462 270 $black" "360 192 $black" "360 347 $black" "205 155 $black"
same_outside "$work/before.png" "200 150 320 240" || fail "the screen changed outside the window"
heard=$(file_size "$SDL_DISKAUDIOFILE")
[ "$heard" -gt 0 ] || fail "no sound"

# The host makes its window 400 × 300: the show fills it, and the next picture fits it.
host_send host "resize 400 300"
wait_for "green 400x100 at 200,250 in the grown window" "202 252 0,255,0" "597 347 0,255,0" \
  "400 245 $black" "400 354 $black" "590 440 $black" "205 155 $black"
same_outside "$work/before.png" "200 150 400 300" || fail "the screen changed outside the window"
[ "$(file_size "$SDL_DISKAUDIOFILE")" -gt "$heard" ] || fail "the sound does not go on"

# The host's SIGTERM ends it within a second, cleanly, and the sound stops.
kill -TERM "$pid"
status=0
wait_exit 1 "still running a second after SIGTERM" || status=$?
# After its clean-up it dies by the signal, as a host expects of a hack: 128 + 15.
[ "$status" -eq 143 ] || fail "exit status $status after SIGTERM, not 143"
pid=""
wait_silent "$SDL_DISKAUDIOFILE" "the sound goes on after the end"
echo "ended on SIGTERM killed by it, sound stopped"

# A window that does not exist is nothing to draw into: it ends at once, saying so.
status=0
XSCREENSAVER_WINDOW=0x7ffffe timeout 10 "$tavello" --root 2>"$work/missing.log" || status=$?
[ "$status" -eq 1 ] || fail "exit status $status for a window that does not exist"
grep -q "no window 0x7ffffe" "$work/missing.log" || fail "no word about the missing window"

# It never outlives its host's window.
XSCREENSAVER_WINDOW=$host_id "$tavello" --root &
pid=$!
wait_for "headline again" "205 155 $black"
host_send host destroy
status=0
wait_exit 1 "still running a second after its window was destroyed" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status after the window was destroyed"
pid=""
echo "ended with its window"
