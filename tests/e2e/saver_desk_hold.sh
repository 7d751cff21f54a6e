#!/usr/bin/env bash
# End to end under a window manager (openbox), the password on: while the show runs, no window of
# another program stays in sight (a window mapped above everything, an ordinary one brought to the
# front), no other program can take the keyboard or the pointer, and keys typed with the focus on
# another program's window never reach it. The same typing does reach that window before the show.
# Usage: saver_desk_hold.sh <tavello binary> <desk probe binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
desk_probe=$2
e2e_prepare saver_desk_hold_e2e
e2e_start_openbox
e2e_set_password "$tavello" "kagi1234"
printf '%s\r\n' 60 "IPAGothic" 40 "100%" "" "E2E HEADLINE" 0 > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

shows_red() {
  [ "$(convert "$work/shot.png" -fuzz 10% -fill black +opaque red -format '%[fx:maxima]' info:)" != 0 ]
}
headline_up() {
  [ "$(convert "$work/shot.png" -crop 1024x80+0+344 -threshold 50% -format '%[fx:mean>0.002]' info:)" = 1 ]
}
# Keys that reach a focused window of another program while "abc" is typed.
keys_reaching_another_window() {
  "$desk_probe" keys 2 > "$work/keys.txt" &
  local probe=$!
  # Typed once the probe's window holds the keyboard focus, so only a grab keeps the keys away.
  wait_until 2 "the probe's window never took the focus" focus_is "DESK PROBE"
  xdotool type --delay 30 abc
  kill -0 "$probe" 2>/dev/null || fail "the probe stopped counting before the typing ended"
  wait "$probe"
  cat "$work/keys.txt"
}
# Waits (up to $2 s) until the red window of the name $1 is mapped and no red is in sight; fails
# when it is never mapped or stays in sight.
covered_within() {
  local name=$1 seconds=$2 mapped=""
  for _ in $(seq $((seconds * 10))); do
    [ -n "$(xdotool search --onlyvisible --name "$name" 2>/dev/null)" ] && mapped=1
    shot
    if [ -n "$mapped" ] && ! shows_red; then return 0; fi
    sleep 0.1
  done
  [ -n "$mapped" ] || fail "$name was never mapped"
  fail "$name stays in sight over the show"
}

[ "$(keys_reaching_another_window)" -ge 3 ] || fail "typing does not reach the probe even before the show"
[ "$("$desk_probe" grabs)" = "keyboard free pointer free" ] || fail "input held before the show"

xdotool mousemove 900 700
# Another program holds both grabs for longer than the show's first quick tries.
"$desk_probe" hold 4 > "$work/hold.txt" &
holder=$!
e2e_helpers+=("$holder")
for _ in $(seq 50); do [ -s "$work/hold.txt" ] && break; sleep 0.1; done
[ "$(cat "$work/hold.txt")" = holding ] || fail "the probe could not take the grabs"
"$tavello" /S &
pid=$!
for _ in $(seq 100); do
  shot
  headline_up && break
  kill -0 "$pid" 2>/dev/null || fail "program ended before its headline showed"
  sleep 0.1
done
headline_up || fail "no headline"
wait "$holder"
kill -0 "$pid" 2>/dev/null || fail "the show ended while another program held the input"
input_held() { [ "$("$desk_probe" grabs)" = "keyboard held pointer held" ]; }
wait_until 5 "input not held by the show after the other program let go" input_held
kill -0 "$pid" 2>/dev/null || fail "the show ended once the other program let go"
echo "seen: show up despite grabs held elsewhere; keyboard and pointer held once let go"

# A window that maps itself above everything, as notifications do.
"$desk_probe" intrude 100 100 300 200 30 &
e2e_helpers+=("$!")
covered_within "DESK INTRUDER" 2
echo "seen: a window mapped above the show did not stay in sight"

# An ordinary window, then brought to the front through the window manager.
xmessage -geometry 400x200+500+100 -bg red -fg red "DESK" &
e2e_helpers+=("$!")
covered_within xmessage 2
xdotool windowactivate "$(xdotool search --onlyvisible --name xmessage | head -1)" 2>/dev/null || true
covered_within xmessage 2
echo "seen: another program's window brought to the front did not stay in sight"

[ "$(keys_reaching_another_window)" = 0 ] || fail "typing reached another program's window"
kill -0 "$pid" 2>/dev/null || fail "the show ended"
echo "seen: no key reached another program's window"
