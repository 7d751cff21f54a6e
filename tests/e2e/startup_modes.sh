#!/usr/bin/env bash
# The real program: unknown switches end at once without a window (even with no display at all),
# a second instance of any mode ends at once while the first runs, and a mode that needs a window
# where none can open says why in one line and ends with status 1.
set -u
tavello="$1"
fail=0
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"

# Each case is one argument as the host would pass it; "" stands for no argument at all.
for arg in "/P" "" "-s" "/p 1234" " /S"; do
  args=()
  [ -n "$arg" ] && args=("$arg")
  start=$(date +%s%N)
  env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$tavello" "${args[@]}"
  rc=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ "$rc" -ne 0 ]; then echo "FAIL: '$arg' exited $rc"; fail=1; fi
  if [ "$ms" -gt 5000 ]; then echo "FAIL: '$arg' took ${ms} ms"; fail=1; fi
done
[ -e "$XDG_CONFIG_HOME" ] && { echo "FAIL: a refused start created files"; fail=1; }

# A first instance holds the lock (here the settings dialog on a virtual display); a second one,
# in any mode, must end at once without a window, even without a display.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  "$0" /C &
  first=$!
  for _ in $(seq 100); do xdotool search --name "TAVELLO" >/dev/null 2>&1 && break; sleep 0.1; done
  rc=0
  for args in /S /C "/A 0" /P; do
    start=$(date +%s%N)
    env -u DISPLAY timeout 10 "$0" $args; r=$?
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    if [ "$r" -ne 0 ] || [ "$ms" -gt 5000 ]; then echo "FAIL: second instance $args: rc=$r ${ms}ms"; rc=1; fi
  done
  kill -0 "$first" || { echo "FAIL: the first instance is gone"; rc=1; }
  kill "$first"; wait "$first" 2>/dev/null
  exit $rc
' "$tavello" || fail=1

# Every mode that opens a window, where no window can open: one line naming the display (or the
# platform) and what to do, status 1, never an abort. "$display" is what DISPLAY is set to ("-"
# unsets it), "$platform" what QT_QPA_PLATFORM is set to; the line must hold "$says".
# Run on a virtual display, so ":0"-style refusals come from a real server that turns us away.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  tavello=$0
  rc=0
  while read -r display xauth platform says; do
    for args in /S /C "/A 0" --root --window; do
      env=(env -u WAYLAND_DISPLAY)
      if [ "$display" = - ]; then env+=(-u DISPLAY); elif [ "$display" != here ]; then env+=(DISPLAY="$display"); fi
      [ "$xauth" = none ] && env+=(XAUTHORITY=/dev/null)
      [ "$platform" != - ] && env+=(QT_QPA_PLATFORM="$platform")
      out=$("${env[@]}" timeout 10 "$tavello" $args 2>&1 >/dev/null); r=$?
      lines=$(printf "%s
" "$out" | grep -c .)
      if [ "$r" -ne 1 ] || [ "$lines" -ne 1 ] || [[ "$out" != *"$says"* ]]; then
        echo "FAIL: $args, DISPLAY $display, auth $xauth, platform $platform: status $r, said: $out"
        rc=1
      fi
    done
  done <<TABLE
- keep - DISPLAY
:97 keep - :97
here none - DISPLAY
here keep offscreen offscreen
here keep minimal minimal
- keep offscreen:size=800x600 offscreen
TABLE
  exit $rc
' "$tavello" || fail=1

if [ "$fail" -eq 0 ]; then echo "startup modes: all passed"; fi
exit $fail
