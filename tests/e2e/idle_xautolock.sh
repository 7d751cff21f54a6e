#!/usr/bin/env bash
# End to end on a desk without a screen-saver host: xautolock, with its shortest idle time (one
# minute), starts the classic "/S" on an idle X server; the headline shows, and a one-pixel mouse
# move ends the show within a second. (xss-lock needs the login manager, which a test server
# does not have.)
# Usage: idle_xautolock.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
if ! command -v xautolock >/dev/null; then
  echo "SKIP: xautolock is not installed"
  exit 77
fi
e2e_under_xvfb

tavello=$1
e2e_prepare idle_xautolock_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
mkdir -p "$XDG_CONFIG_HOME/tavello"
printf '%s\r\n' 30 "IPAGothic" 40 "100%" "" "E2E IDLE" 0 >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

# The pointer rests away from the headline, where movement does not end the show.
xdotool mousemove 20 20
xautolock -time 1 -locker "$tavello /S" &
extra_pids="$extra_pids $!"

# Nothing touches the display; after a minute the show comes up.
show_pid=""
for _ in $(seq 900); do
  show_pid=$(pgrep_here "^$tavello /S\$")
  [ -n "$show_pid" ] && break
  sleep 0.1
done
[ -n "$show_pid" ] || fail "xautolock did not start the show within 90 s"
pid=$show_pid
for _ in $(seq 50); do
  shot
  [ "$(convert "$work/shot.png" -crop 1024x80+0+344 -threshold 50% \
    -format '%[fx:mean>0.002]' info:)" = 1 ] && break
  sleep 0.1
done
holds "5 5 0,0,0" "1018 762 0,0,0" || fail "the show does not cover the screen"
[ "$(convert "$work/shot.png" -crop 1024x80+0+344 -threshold 50% \
  -format '%[fx:mean>0.002]' info:)" = 1 ] || fail "no headline on the idle desk"
echo "seen: the show on the idle desk"

xdotool mousemove_relative 1 0
# The show is xautolock's child, not ours: its end is seen, its status is not.
for _ in $(seq 20); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "still running a second after a 1-pixel move"
pid=""
echo "ended after a 1-pixel move"
