#!/usr/bin/env bash
# End to end under a window manager (openbox), the password on: other programs cannot end or hide
# the show without the password. A close request to the show's window asks for the password; the
# show's window unmapped by another program, or put into a hidden window of its own, comes
# straight back over the desk with the input held again; destroyed by another program, it is made
# anew and the same holds. The right password
# still ends the show, with status 0, and the next start is not refused.
# Usage: saver_show_kept.sh <tavello binary> <desk probe binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
desk_probe=$2
e2e_prepare saver_show_kept_e2e
e2e_start_openbox
e2e_set_password "$tavello" "kagi1234"
printf '%s\r\n' 60 "IPAGothic" 40 "100%" "" "E2E HEADLINE" 0 > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

shows_red() {
  [ "$(convert "$work/shot.png" -fuzz 10% -fill black +opaque red -format '%[fx:maxima]' info:)" != 0 ]
}
headline_up() {
  [ "$(convert "$work/shot.png" -crop 1024x80+0+344 -threshold 50% -format '%[fx:mean>0.002]' info:)" = 1 ]
}
prompt_title="スクリーンセーバーのパスワード"
# Waits (up to 10 s) until the show covers the desk again, its headline up and the input held.
wait_covered() {
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || fail "the show ended after $1"
    shot
    if headline_up && ! shows_red &&
      [ "$("$desk_probe" grabs)" = "keyboard held pointer held" ]; then
      echo "seen: desk covered and input held after $1"
      return 0
    fi
    sleep 0.1
  done
  fail "the desk is not covered, or the input not held, after $1"
}
# The show's own window, the one named Form1 that is on the screen.
show_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null); do echo "$w"; return 0; done
  fail "no show window on the screen"
}
# Waits (up to 10 s) for the prompt, and for it to hold the keyboard (keys typed before that
# are lost).
wait_prompt() {
  for _ in $(seq 100); do
    focus_is "$prompt_title" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended instead of asking for the password"
    sleep 0.1
  done
  [ -n "$(window_named "$prompt_title")" ] || fail "no password prompt"
  fail "the prompt does not hold the keyboard"
}
wait_prompt_gone() {
  for _ in $(seq 100); do
    [ -z "$(window_named "$prompt_title")" ] && return 0
    sleep 0.1
  done
  fail "the prompt stayed up"
}

xmessage -geometry 500x300+20+20 -bg red -fg red "DESK" &
e2e_helpers+=("$!")
for _ in $(seq 100); do shot; shows_red && break; sleep 0.1; done
shows_red || fail "the desk's red window never showed"

xdotool mousemove 900 700
"$tavello" /S &
pid=$!
wait_covered "the start"

# A close request is input: the password is asked for; a wrong one lets the show go on.
"$desk_probe" close "$(show_window)"
wait_prompt
echo "seen: a close request asks for the password"
xdotool type --delay 20 "wrong"
xdotool key Return
wait_prompt_gone
wait_covered "a close request and a wrong password"

xdotool windowunmap "$(show_window)"
wait_covered "another program unmapped the show"

# Put into an unmapped window of another program, which keeps it there for longer than the wait.
"$desk_probe" reparent "$(show_window)" 30 &
e2e_helpers+=("$!")
wait_covered "another program put the show into a hidden window of its own"

old=$(show_window)
"$desk_probe" destroy "$old"
wait_covered "another program destroyed the show's window"
[ "$(show_window)" != "$old" ] || fail "the destroyed window is still listed"

xdotool mousemove_relative 1 0
wait_prompt
xdotool type --delay 20 "kagi1234"
xdotool key Return
wait_exit 5 "still running after the right password" || fail "exit status $?"
pid=""
echo "seen: the right password ends the show"

# The lock is free again: the next start runs the show (ended here by a signal).
"$tavello" /S &
pid=$!
wait_covered "the next start"
kill "$pid"
wait_exit 5 "the next show did not end on SIGTERM" || true
pid=""
echo "seen: the next start runs"
