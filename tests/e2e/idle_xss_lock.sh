#!/usr/bin/env bash
# The classic show on a desk without a screen-saver host, as the README sets it up: xss-lock runs
# "tavello /S" when the X server has been idle for its screen-saver time, the show's headline
# covers the screen, and a mouse move ends the show.
# Usage: idle_xss_lock.sh <tavello binary>
set -euo pipefail

if ! command -v xss-lock >/dev/null; then
  echo "SKIP: xss-lock is not installed (apt-get install xss-lock)"
  exit 77
fi

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
e2e_prepare idle_xss_lock
mkdir -p "$XDG_CONFIG_HOME/tavello"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "IDLE HEADLINE" 0 > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

# Idle after one second. Without a login manager (as here) xss-lock warns, and stops as soon as
# it has started the show, so the show is found by its command line rather than as its child;
# on a desk with a login manager xss-lock stays and starts the show again at the next idle time.
xset s 1 0
xss-lock --ignore-sleep -- "$tavello" /S 2>"$work/xss-lock.log" &
xss_lock=$!

for _ in $(seq 100); do
  pid=$(pgrep_here "^$tavello /S\$" | tail -n1)
  [ -n "$pid" ] && break
  sleep 0.1
done
kill "$xss_lock" 2>/dev/null || true
[ -n "$pid" ] || fail "xss-lock did not start the show when the display was idle: $(cat "$work/xss-lock.log")"

for _ in $(seq 50); do
  shot
  white=$(convert "$work/shot.png" -crop 1024x80+0+344 -threshold 50% -format '%[fx:mean>0.002]' info:)
  [ "$white" = 1 ] && break
  sleep 0.1
done
[ "$white" = 1 ] || fail "no headline on the screen"
holds "5 5 0,0,0" "1018 762 0,0,0" || fail "the show does not cover the screen"
echo "seen: the show, started on idle"

# Off the headline, over which movement is not watched, then one pixel on.
xdotool mousemove --sync 300 300
xdotool mousemove 301 300
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "a mouse move did not end the show"
pid=""
echo "seen: the show ended by a mouse move"
echo "idle start with xss-lock: passed"
