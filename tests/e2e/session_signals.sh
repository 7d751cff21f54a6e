#!/usr/bin/env bash
# End to end: the session's signals end "/S" and "/C" as their own close does, and the program
# then dies by that signal, as hosts and shells expect. For each of SIGTERM, SIGHUP and SIGINT:
# during the show (with music) the program ends within a second, killed by the signal, and the
# sound stops; during the settings dialog it ends the same way and leaves the settings file byte
# for byte as it was.
# Usage: session_signals.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

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
  # The status a shell reports for a process killed by the signal.
  killed=$((128 + $(kill -l "$sig")))
  rm -f "$SDL_DISKAUDIOFILE"
  "$tavello" /S &
  pid=$!
  wait_for "the picture before SIG$sig" "512 384 255,0,0"
  [ "$(file_size "$SDL_DISKAUDIOFILE")" -gt 0 ] || fail "no sound before SIG$sig"
  kill -"$sig" "$pid"
  status=0
  wait_exit 1 "/S still running a second after SIG$sig" || status=$?
  pid=""
  [ "$status" -eq "$killed" ] || fail "/S exit status $status after SIG$sig, not $killed"
  wait_silent "$SDL_DISKAUDIOFILE" "the sound goes on after SIG$sig"
  echo "/S ended on SIG$sig, killed by it, sound stopped"

  "$tavello" /C &
  pid=$!
  wait_window "TAVELLOの設定"
  kill -"$sig" "$pid"
  status=0
  wait_exit 2 "/C still running after SIG$sig" || status=$?
  pid=""
  [ "$status" -eq "$killed" ] || fail "/C exit status $status after SIG$sig, not $killed"
  cmp -s "$settings" "$work/settings.before" || fail "the settings file changed on SIG$sig"
  echo "/C ended on SIG$sig, killed by it, settings untouched"
done
