#!/usr/bin/env bash
# End to end: two hacks of one user (one per monitor, as a host runs them) share one song: only
# one of them plays it. When that one is ended, the other takes the song over at its next picture
# change. Each process writes its sound to a file of its own.
# Usage: host_music.sh <tavello binary> <host_window binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
host_window_bin=$2
e2e_prepare host_music_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
export SDL_AUDIODRIVER=disk
mkdir -p "$XDG_CONFIG_HOME/tavello"

convert -size 64x48 xc:'#ff0000' "$work/red.png"
sox -n -r 44100 -c 2 "$work/song.wav" synth 2 sine 440
printf '%s\r\n' 1 "IPAGothic" 40 "100%" "$work/song.wav" "" 0 "$work/red.png" \
  >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

host_open left 0 0 512 768
host_open right 512 0 512 768

SDL_DISKAUDIOFILE="$work/left.raw" XSCREENSAVER_WINDOW=$left_id "$tavello" --root &
left=$!
extra_pids="$extra_pids $left"
SDL_DISKAUDIOFILE="$work/right.raw" XSCREENSAVER_WINDOW=$right_id "$tavello" --root &
right=$!
extra_pids="$extra_pids $right"
pid=$left
wait_for "both shows" "256 384 255,0,0" "768 384 255,0,0"

# Whichever opened the song first plays it; the other file stays empty.
someone_plays() {
  [ "$(file_size "$work/left.raw")" -gt 0 ] || [ "$(file_size "$work/right.raw")" -gt 0 ]
}
wait_until 5 "neither show plays the song" someone_plays
l1=$(file_size "$work/left.raw")
r1=$(file_size "$work/right.raw")
# Only time shows that the other one does not start playing too.
sleep 1
l2=$(file_size "$work/left.raw")
r2=$(file_size "$work/right.raw")
if [ "$l2" -gt "$l1" ] && [ "$r2" = 0 ]; then
  player=$left listener=$right quiet="$work/right.raw"
elif [ "$r2" -gt "$r1" ] && [ "$l2" = 0 ]; then
  player=$right listener=$left quiet="$work/left.raw"
else
  fail "not exactly one player (left $l1 -> $l2 bytes, right $r1 -> $r2 bytes)"
fi
# The lock they share is kept where the instance lock is: the user's runtime folder.
[ -f "$XDG_RUNTIME_DIR/music.lock" ] || fail "no music lock in the user's runtime folder"
echo "one player"

# The player ends; the other takes the song over within a few picture changes.
kill -TERM "$player"
pid=$player
status=0
wait_exit 1 "the player still runs a second after SIGTERM" || status=$?
[ "$status" -eq 143 ] || fail "player's exit status $status after SIGTERM, not 143"
pid=$listener
for _ in $(seq 50); do
  [ "$(file_size "$quiet")" -gt 0 ] && break
  kill -0 "$listener" 2>/dev/null || fail "the other show ended"
  sleep 0.1
done
[ "$(file_size "$quiet")" -gt 0 ] || fail "the other show did not take the song over"
echo "the other show took the song over"
