#!/usr/bin/env bash
# The idle watcher on a desk without a screen-saver host: "tavello --idle 3s" runs the show after
# three idle seconds, a key ends the show but not the watcher, the next idle period brings the
# show back, a second watcher refuses to start, and SIGTERM ends the watcher and its show.
# Usage: idle_watcher.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
e2e_prepare idle_watcher
mkdir -p "$XDG_CONFIG_HOME/tavello"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "IDLE HEADLINE" 0 >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

"$tavello" --idle 3s >"$work/watcher.log" 2>&1 &
pid=$!

# The show the watcher runs: its child, with the show's window up.
show_up() {
  show=$(pgrep -P "$pid" || true)
  [ -n "$show" ] && [ -n "$(window_named Form1)" ]
}
show_gone() { ! kill -0 "$show" 2>/dev/null && [ -z "$(window_named Form1)" ]; }
watcher_alive() { kill -0 "$pid" 2>/dev/null || fail "the watcher ended: $(cat "$work/watcher.log")"; }

wait_until 20 "no show after the first idle period" show_up
watcher_alive
echo "seen: the show after 3 idle seconds"

second=$("$tavello" --idle 3s 2>&1) || fail "a second watcher ended with status $?"
[[ "$second" == *もう動いています* ]] || fail "a second watcher did not say the first runs: $second"

xdotool key space
wait_until 10 "a key did not end the show" show_gone
watcher_alive
echo "seen: a key ended the show, the watcher goes on"

wait_until 20 "no show after the next idle period" show_up
echo "seen: the show again after the next idle period"

kill -TERM "$pid"
status=0
wait_exit 10 "the watcher still runs after SIGTERM" || status=$?
[ "$status" -eq 143 ] || fail "the watcher's exit status after SIGTERM is $status, not 143"
pid=""
wait_until 10 "the show outlived the watcher" show_gone
echo "idle watcher: passed"
