#!/usr/bin/env bash
# End to end: the session's signals end "/S" and "/C" as their own close does. For each of
# SIGTERM, SIGHUP and SIGINT: during the show (with music) the program ends within a second with
# status 0 and the sound stops; during the settings dialog it ends with status 0 and leaves the
# settings file byte for byte as it was.
# Usage: session_signals.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb "$@"

tavello=$1
e2e_prepare session_signals_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
mkdir -p "$XDG_CONFIG_HOME/tavello"

convert -size 640x480 xc:'#ff0000' -quality 95 "$work/red.jpg"
sox -n -r 44100 -c 2 "$work/song.wav" synth 3 sine 440
settings="$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
printf '%s\r\n' 1 "IPAGothic" 40 "100%" "$work/song.wav" "" 0 "$work/red.jpg" >"$settings"
cp "$settings" "$work/settings.before"

for sig in TERM HUP INT; do
  rm -f "$SDL_DISKAUDIOFILE"
  "$tavello" /S &
  pid=$!
  wait_for "the picture before SIG$sig" "512 384 255,0,0"
  [ "$(file_size "$SDL_DISKAUDIOFILE")" -gt 0 ] || fail "no sound before SIG$sig"
  kill -"$sig" "$pid"
  status=0
  wait_exit 1 "/S still running a second after SIG$sig" || status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "/S exit status $status after SIG$sig"
  wait_silent "$SDL_DISKAUDIOFILE" "the sound goes on after SIG$sig"
  echo "/S ended on SIG$sig with status 0, sound stopped"

  "$tavello" /C &
  pid=$!
  wait_window "TAVELLOの設定"
  kill -"$sig" "$pid"
  status=0
  wait_exit 2 "/C still running after SIG$sig" || status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "/C exit status $status after SIG$sig"
  cmp -s "$settings" "$work/settings.before" || fail "the settings file changed on SIG$sig"
  echo "/C ended on SIG$sig with status 0, settings untouched"
done
