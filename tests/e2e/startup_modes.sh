#!/usr/bin/env bash
# The real program: unknown switches end at once without a window (even with no display at all),
# a second instance of any mode ends at once while the first runs, and a mode that needs a window
# where none can open says why in one line and ends with status 1.
# Usage: startup_modes.sh <tavello binary>
set -u

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# One virtual display for the cases that need one; it asks for its cookie, so a client without
# it is turned away as by a real session's server.
e2e_under_xvfb

tavello="$1"
failed=0
e2e_prepare startup_modes_e2e

# Each case is one argument as the host would pass it; "" stands for no argument at all.
for arg in "/P" "" "-s" "/p 1234" " /S"; do
  args=()
  [ -n "$arg" ] && args=("$arg")
  start=$(date +%s%N)
  env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$tavello" "${args[@]}"
  rc=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ "$rc" -ne 0 ]; then echo "FAIL: '$arg' exited $rc"; failed=1; fi
  if [ "$ms" -gt 5000 ]; then echo "FAIL: '$arg' took ${ms} ms"; failed=1; fi
done
[ -e "$XDG_CONFIG_HOME" ] && { echo "FAIL: a refused start created files"; failed=1; }

# A first instance holds the lock (here the settings dialog on the virtual display); a second
# one, in any mode, must end at once without a window, even without a display. The toolkit's own
# options on the command line are not the toolkit's: the dialog still opens on the display.
"$tavello" /C -platform offscreen &
pid=$!
wait_window "TAVELLOの設定"
for args in /S /C "/A 0" /P; do
  start=$(date +%s%N)
  env -u DISPLAY timeout 10 "$tavello" $args
  r=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ "$r" -ne 0 ] || [ "$ms" -gt 5000 ]; then
    echo "FAIL: second instance $args: rc=$r ${ms}ms"
    failed=1
  fi
done
kill -0 "$pid" || { echo "FAIL: the first instance is gone"; failed=1; }
# Ended before the cases below, which must not meet a first instance.
kill "$pid"
wait "$pid" 2>/dev/null
pid=""

# Every mode that opens a window, where no window can open: one line naming the display (or the
# platform) and what to do, status 1, never an abort. "$display" is what DISPLAY is set to ("-"
# unsets it, "here" keeps the virtual display, "here.N" names its screen N, which it does not
# have), "$xauth" "none" takes the cookie away,
# "$platform" is what QT_QPA_PLATFORM is set to; the line must hold "$says".
while read -r display xauth platform says; do
  for args in /S /C "/A 0" --root --window; do
    env=(env -u WAYLAND_DISPLAY)
    if [ "$display" = - ]; then
      env+=(-u DISPLAY)
    elif [[ "$display" == here.* ]]; then
      env+=(DISPLAY="$DISPLAY.${display#here.}")
    elif [ "$display" != here ]; then
      env+=(DISPLAY="$display")
    fi
    [ "$xauth" = none ] && env+=(XAUTHORITY=/dev/null)
    [ "$platform" != - ] && env+=(QT_QPA_PLATFORM="$platform")
    out=$("${env[@]}" timeout 10 "$tavello" $args 2>&1 >/dev/null)
    r=$?
    lines=$(printf '%s\n' "$out" | grep -c .)
    if [ "$r" -ne 1 ] || [ "$lines" -ne 1 ] || [[ "$out" != *"$says"* ]]; then
      echo "FAIL: $args, DISPLAY $display, auth $xauth, platform $platform: status $r, said: $out"
      failed=1
    fi
  done
done <<TABLE
- keep - DISPLAY
:97 keep - :97
here none - DISPLAY
here keep offscreen offscreen
here keep minimal minimal
- keep offscreen:size=800x600 offscreen
here.1 keep - 画面
here.9 keep - 画面
TABLE

# A server with no other client resets when its last client leaves (no -noreset, as xinit and
# display managers may start it): the display check must not leave it resetting under the
# toolkit's own connection. Nothing else connects until the program holds a connection of its own
# to the server (seen in ss), and from then on the dialog must come up and stay.
Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$work/reset-display" 2>/dev/null &
e2e_helpers+=($!)
poll 10 grep -qs . "$work/reset-display" || fail "the resetting Xvfb did not start"
reset_display=":$(head -n1 "$work/reset-display")"
DISPLAY=$reset_display XAUTHORITY=/dev/null "$tavello" /C &
pid=$!
connected() { ss -xp 2>/dev/null | grep -q "pid=$pid,"; }
poll 10 connected || { echo "FAIL: the dialog never reached the resetting server"; failed=1; }
if ! DISPLAY=$reset_display XAUTHORITY=/dev/null poll 10 \
  xdotool search --name "TAVELLOの設定" >/dev/null 2>&1; then
  echo "FAIL: no dialog on a server that resets (status $(wait "$pid"; echo $?))"
  failed=1
fi
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=""

if [ "$failed" -eq 0 ]; then echo "startup modes: all passed"; fi
exit $failed
