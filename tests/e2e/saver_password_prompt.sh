#!/usr/bin/env bash
# End to end under a window manager (openbox): "/S" with a password stored through "/A" and the
# switch on. A move brings the prompt up above the show; a wrong password typed into it puts the
# show back on top, covering the screen, cursor hidden, input still held; a second move and the
# right password end the program. A red window of the desk never shows in any screenshot taken
# over the whole exchange.
# Usage: saver_password_prompt.sh <tavello binary> <cursor probe binary> <desk probe binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
cursor_probe=$2
desk_probe=$3
e2e_prepare saver_password_e2e
e2e_start_openbox
e2e_set_password "$tavello" "kagi1234"
printf '%s\r\n' 60 "IPAGothic" 40 "100%" "" "E2E HEADLINE" 0 > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

# Whether the screenshot $1 shows any pure red.
shows_red() {
  [ "$(convert "$1" -fuzz 10% -fill black +opaque red -format '%[fx:maxima]' info:)" != 0 ]
}
headline_up() {
  [ "$(convert "$work/shot.png" -crop 1024x80+0+344 -threshold 50% -format '%[fx:mean>0.002]' info:)" = 1 ]
}
prompt_title="スクリーンセーバーのパスワード"
# Waits (up to 10 s) for the prompt, and for it to hold the keyboard (keys typed before that
# are lost); sets prompt to its window.
wait_prompt() {
  prompt=""
  for _ in $(seq 100); do
    prompt=$(window_named "$prompt_title")
    [ -n "$prompt" ] && break
    kill -0 "$pid" 2>/dev/null || fail "program ended instead of asking for the password"
    sleep 0.1
  done
  [ -n "$prompt" ] || fail "no password prompt"
  wait_until 5 "the prompt does not hold the keyboard" focus_is "$prompt_title"
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
for _ in $(seq 100); do shot; shows_red "$work/shot.png" && break; sleep 0.1; done
shows_red "$work/shot.png" || fail "the desk's red window never showed"

xdotool mousemove 900 700
"$tavello" /S &
pid=$!
for _ in $(seq 100); do
  shot
  headline_up && ! shows_red "$work/shot.png" && break
  kill -0 "$pid" 2>/dev/null || fail "program ended before its headline showed"
  sleep 0.1
done
headline_up && ! shows_red "$work/shot.png" || fail "the show does not cover the desk"
[ "$("$desk_probe" grabs)" = "keyboard held pointer held" ] || fail "input not held by the show"
echo "seen: show over the desk, keyboard and pointer held"

# Screenshots all through the exchange, checked for the desk at the end.
mkdir "$work/burst"
(
  n=0
  while [ ! -e "$work/burst/stop" ] && [ "$n" -lt 200 ]; do
    import -window root "$work/burst/$(printf %03d "$n").png" 2>/dev/null || true
    n=$((n + 1))
    sleep 0.1
  done
) &
burst=$!
e2e_helpers+=("$burst")

xdotool mousemove_relative 1 0
wait_prompt
eval "$(xdotool getwindowgeometry --shell "$prompt")"
shot
holds "$((X + WIDTH / 2)) $((Y + 4)) 239,239,239" "5 5 0,0,0" "1018 762 0,0,0" ||
  fail "the prompt is not above the show"
echo "seen: prompt above the show at ${X},${Y} ${WIDTH}x${HEIGHT}"

xdotool type --delay 20 "wrong"
xdotool key Return
wait_prompt_gone
shot
headline_up || fail "the show is not back after a wrong password"
holds "$((X + WIDTH / 2)) $((Y + 4)) 0,0,0" || fail "something stays where the prompt was"
kill -0 "$pid" 2>/dev/null || fail "a wrong password ended the program"
[ "$("$cursor_probe")" = hidden ] || fail "cursor visible after a wrong password"
[ "$("$desk_probe" grabs)" = "keyboard held pointer held" ] ||
  fail "input not held after a wrong password"
echo "seen: wrong password refused, show back on top, cursor hidden, input held"

xdotool mousemove_relative 0 1
wait_prompt
# The burst ends before the right password: once the program has ended, the desk may show.
touch "$work/burst/stop"
wait "$burst" || true
xdotool type --delay 20 "kagi1234"
xdotool key Return
wait_exit 5 "still running after the right password" || fail "exit status $?"
pid=""
echo "ended after the right password"

shots=0
for f in "$work"/burst/*.png; do
  [ -s "$f" ] || continue
  shots=$((shots + 1))
  if shows_red "$f"; then
    cp "$f" "$work/shot.png"
    fail "the desk showed through during the exchange ($(basename "$f"))"
  fi
done
[ "$shots" -ge 5 ] || fail "only $shots screenshots of the exchange"
echo "seen: no desk in $shots screenshots of the exchange"
