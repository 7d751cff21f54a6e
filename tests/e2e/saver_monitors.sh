#!/usr/bin/env bash
# End to end: "/S" on a desk of two monitors, on a real X server (the dummy video driver) whose
# 3072 × 768 screen is split into L (1024 wide, primary) and R (1024 wide); the last 1024 columns
# belong to no monitor until one is plugged in there. Windows of another program wait on R and in
# the unused part. During the show: the headline is centred on L, R is all black, the unused part
# still shows its window; a monitor plugged in there is covered within a second and uncovered
# within a second of its removal; a one-pixel move over R ends the program.
# Then with a password stored through "/A" and switched on: a move over R brings the prompt up on L
# above the show while R stays black; a wrong password puts the show back, cursor hidden and input
# held; the right one ends the program.
# Needs root, as the X server does; skipped (77) otherwise.
# Usage: saver_monitors.sh <tavello binary> <cursor probe binary> <desk probe binary>
set -euo pipefail

here=$(dirname "${BASH_SOURCE[0]}")
. "$here/common.sh"
. "$here/xorg_dummy.sh"

tavello=$1
cursor_probe=$2
desk_probe=$3
if [ "$(id -u)" -ne 0 ] || ! command -v Xorg >/dev/null; then
  echo "SKIP: needs root and Xorg with the dummy driver"
  exit 77
fi
e2e_prepare saver_monitors_e2e
xorg_dummy_start 3072 768 || fail "no X server on the dummy driver"
xorg_dummy_monitors L 1024 0 R 1024 1024 || fail "cannot split the screen into monitors"

mkdir -p "$XDG_CONFIG_HOME/tavello"
printf '%s\r\n' 30 "IPAGothic" 40 "100%" "" "E2E HEADLINE" 0 > "$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

# The bounding box "WxH+X+Y" of everything not black in the region "WxH+X+Y" of the last shot.
lit_box() {
  convert "$work/shot.png" -crop "$1" +repage -threshold 20% -format '%@' info:
}
# Whether the region of the last shot is black throughout.
all_black() {
  [ "$(convert "$work/shot.png" -crop "$1" +repage -threshold 20% -format '%[fx:maxima]' info:)" = 0 ]
}
# Waits at most a second for the region's state ("black" or "lit") on fresh screenshots.
within_a_second() {
  local want=$1 region=$2 deadline=$(($(date +%s%N) + 1000000000))
  while :; do
    shot
    if all_black "$region"; then [ "$want" = black ] && return 0; else [ "$want" = lit ] && return 0; fi
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
  done
}

R=1024x768+1024+0
SPARE=1024x768+2048+0
xmessage -geometry +1300+300 -bg white "DESK WINDOW ON R" &
e2e_helpers+=("$!")
xmessage -geometry +2300+300 -bg white "DESK WINDOW OUTSIDE THE MONITORS" &
e2e_helpers+=("$!")
for _ in $(seq 100); do
  shot
  ! all_black "$R" && ! all_black "$SPARE" && break
  sleep 0.1
done
all_black "$R" && fail "the window on R never showed"
echo "seen: windows of the desk on R and outside the monitors"

# The pointer rests on R when the show starts.
xdotool mousemove 1500 600
"$tavello" /S &
pid=$!
# Everything lit on L and R together must be the headline alone.
w=0
for _ in $(seq 100); do
  shot
  box=$(lit_box 2048x768+0+0)
  read -r w h x y <<<"${box//[x+]/ }"
  all_black "$R" && [ "$w" -gt 100 ] && break
  kill -0 "$pid" 2>/dev/null || fail "program ended before its headline showed"
  sleep 0.1
done
all_black "$R" || fail "R not black during the show"
[ "$w" -gt 100 ] && [ $((x + w)) -le 1024 ] || fail "no headline alone on L (lit $box)"
cx=$((x + w / 2)) cy=$((y + h / 2))
[ "$cx" -ge 500 ] && [ "$cx" -le 524 ] && [ "$cy" -ge 370 ] && [ "$cy" -le 398 ] ||
  fail "headline not centred on L (lit $box)"
all_black "$SPARE" && fail "the part outside the monitors was covered too"
echo "seen: headline centred on L at $cx,$cy, R black"

xorg_dummy_monitor S 1024 2048
within_a_second black "$SPARE" || fail "plugged-in monitor not covered within a second"
echo "seen: plugged-in monitor covered"
xrandr --delmonitor S >/dev/null
within_a_second lit "$SPARE" || fail "removed monitor still covered after a second"
echo "seen: removed monitor uncovered"
kill -0 "$pid" 2>/dev/null || fail "program ended when a monitor came or went"

# One pixel of movement over R ends the program within a second.
xdotool mousemove_relative 1 0
wait_exit 1 "still running a second after a 1-pixel move over R" || fail "exit status $?"
echo "ended after a 1-pixel move over R"

# ---- the password on ----
e2e_set_password "$tavello" "kagi1234"
prompt_title="スクリーンセーバーのパスワード"
xdotool mousemove 1500 600
"$tavello" /S &
pid=$!
for _ in $(seq 100); do
  shot
  all_black "$R" && [ "$(lit_box 1024x768+0+0 | cut -dx -f1)" -gt 100 ] && break
  kill -0 "$pid" 2>/dev/null || fail "program ended before its headline showed"
  sleep 0.1
done
all_black "$R" || fail "R not black during the show with the password on"

xdotool mousemove_relative 1 0
prompt=""
for _ in $(seq 100); do
  prompt=$(window_named "$prompt_title")
  [ -n "$prompt" ] && break
  kill -0 "$pid" 2>/dev/null || fail "program ended instead of asking for the password"
  sleep 0.1
done
[ -n "$prompt" ] || fail "no password prompt after a move over R"
wait_until 5 "the prompt does not hold the keyboard" focus_is "$prompt_title"
eval "$(xdotool getwindowgeometry --shell "$prompt")"
[ $((X + WIDTH)) -le 1024 ] || fail "the prompt is not on L (${X},${Y} ${WIDTH}x${HEIGHT})"
shot
holds "$((X + WIDTH / 2)) $((Y + 4)) 239,239,239" || fail "the prompt is not above the show"
all_black "$R" || fail "R not black while the prompt is up"
echo "seen: prompt above the show on L, R black"

xdotool type --delay 20 "wrong"
xdotool key Return
for _ in $(seq 100); do
  [ -z "$(window_named "$prompt_title")" ] && break
  sleep 0.1
done
[ -z "$(window_named "$prompt_title")" ] || fail "the prompt stayed up after a wrong password"
shot
all_black "$R" || fail "R not black after a wrong password"
holds "$((X + WIDTH / 2)) $((Y + 4)) 0,0,0" || fail "something stays where the prompt was"
[ "$("$cursor_probe")" = hidden ] || fail "cursor visible after a wrong password"
[ "$("$desk_probe" grabs)" = "keyboard held pointer held" ] ||
  fail "input not held after a wrong password"
echo "seen: wrong password refused, show back, R black, cursor hidden, input held"

xdotool mousemove_relative 0 1
wait_until 10 "no password prompt after a second move" focus_is "$prompt_title"
xdotool type --delay 20 "kagi1234"
xdotool key Return
wait_exit 5 "still running after the right password" || fail "exit status $?"
echo "ended after the right password"
