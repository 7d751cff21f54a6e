#!/usr/bin/env bash
# End to end: the show as MATE starts a theme, with only DISPLAY, HOME, PATH, LANG,
# DBUS_SESSION_BUS_ADDRESS and XSCREENSAVER_WINDOW set, for a user whose PulseAudio server runs
# in /run/user/<uid> as a login session leaves it. The song reaches that server (a stream of
# TAVELLO's appears on its null sink), no cursor shows over the show while the desk's cursor shows
# beside it, and SIGTERM ends it, the stream gone.
# It makes a throwaway user with its runtime folder, so it needs root and PulseAudio; skipped
# (exit status 77) otherwise.
# Usage: host_mate_sound.sh <tavello binary> <host_window binary> <saver_cursor_probe binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: needs root to make a throwaway user and its /run/user folder"
  exit 77
fi
if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
  echo "SKIP: PulseAudio (pulseaudio, pulseaudio-utils) is not installed"
  exit 77
fi
e2e_under_xvfb

tavello=$1
host_window_bin=$2
cursor_probe=$3
e2e_prepare host_mate_sound_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"

host_make_user pa
pa_env=(HOME="$home" PATH="$PATH" XDG_RUNTIME_DIR="$run")

cp "$tavello" "$home/bin/tavello"
convert -size 640x480 xc:'#ff0000' -quality 95 "$home/red.jpg"
sox -n -r 44100 -c 2 "$home/song.wav" synth 30 sine 440
printf '%s\r\n' 1 "IPAGothic" 40 "100%" "$home/song.wav" "" 0 "$home/red.jpg" \
  >"$home/.config/tavello/TAVELLO.INI"
host_hand_over_home

as_user "${pa_env[@]}" pulseaudio --daemonize=yes -n --exit-idle-time=-1 --realtime=no \
  --high-priority=no --log-target="file:$home/pulse.log" \
  --load=module-native-protocol-unix --load="module-null-sink sink_name=e2e_null" ||
  fail "PulseAudio did not start: $(cat "$home/pulse.log" 2>/dev/null)"
for _ in $(seq 100); do
  as_user "${pa_env[@]}" pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
as_user "${pa_env[@]}" pactl info >/dev/null 2>&1 || fail "PulseAudio does not answer"
[ -S "$run/pulse/native" ] || fail "no PulseAudio socket in $run"
echo "PulseAudio runs for $user in $run"

host_open mate 0 0 1024 768
# Started directly (setpriv and env replace themselves), so pid is the program's own.
setpriv --reuid="$uid" --regid="$gid" --clear-groups env -i DISPLAY="$DISPLAY" HOME="$home" \
  PATH="$PATH" LANG=C.UTF-8 DBUS_SESSION_BUS_ADDRESS="unix:path=$run/bus" \
  XSCREENSAVER_WINDOW="$mate_id" "$home/bin/tavello" --root &
pid=$!
wait_for "the picture in MATE's window" "512 384 255,0,0" "100 100 0,0,0"

stream=""
for _ in $(seq 100); do
  stream=$(as_user "${pa_env[@]}" pactl list sink-inputs 2>/dev/null |
    grep -c 'application.name = "TAVELLO"' || true)
  [ "$stream" -gt 0 ] && break
  kill -0 "$pid" 2>/dev/null || fail "the show ended"
  sleep 0.1
done
[ "$stream" -gt 0 ] || fail "no stream of TAVELLO on the user's PulseAudio server"
echo "heard: TAVELLO's stream on the user's PulseAudio server"

# The host owns the pointer: over the show it is blank, beside the show (the root) it shows.
host_send mate "resize 800 768"
cursor_is() { [ "$("$cursor_probe")" = "$1" ]; }
xdotool mousemove --sync 900 384
wait_until 2 "the desk's cursor is not seen beside the show" cursor_is visible
xdotool mousemove --sync 400 384
wait_until 2 "a cursor shows over the show" cursor_is hidden
echo "seen: no cursor over the show, the desk's cursor beside it"

kill -TERM "$pid"
status=0
wait_exit 2 "still running two seconds after SIGTERM" || status=$?
pid=""
[ "$status" -eq 143 ] || fail "exit status $status after SIGTERM, not 143"
for _ in $(seq 50); do
  as_user "${pa_env[@]}" pactl list sink-inputs 2>/dev/null |
    grep -q 'application.name = "TAVELLO"' || break
  sleep 0.1
done
as_user "${pa_env[@]}" pactl list sink-inputs 2>/dev/null |
  grep -q 'application.name = "TAVELLO"' && fail "the stream stays after SIGTERM"
echo "ended by SIGTERM, the stream gone"
