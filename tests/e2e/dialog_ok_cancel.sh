#!/usr/bin/env bash
# End to end: "/C" opens the settings dialog "TAVELLOの設定" with a client area of 379 × 368 on a
# 1024 × 768 X server; a click on OK writes the settings file and ends the program; a click on
# Cancel ends it and leaves the file as it was (or missing).
# Usage: dialog_ok_cancel.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
e2e_prepare dialog_e2e
ini="$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

# Starts "/C" and waits (up to 10 s) for its window; sets pid, win, wx, wy.
start_dialog() {
  "$tavello" /C &
  pid=$!
  wait_window "TAVELLOの設定"
  wait_drawn "$win"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  wx=$X wy=$Y
  [ "$WIDTH" = 379 ] && [ "$HEIGHT" = 368 ] || fail "client area ${WIDTH}x${HEIGHT}, wanted 379x368"
  [ "$(xdotool getwindowname "$win")" = "TAVELLOの設定" ] || fail "wrong title"
}

# Clicks at a point of the dialog's client area.
click_at() {
  xdotool mousemove --sync $((wx + $1)) $((wy + $2)) click 1
}

# Waits (up to 10 s) for the program to end; its exit status is not part of these checks.
wait_end() { wait_exit 10 "program still running after $1" || true; }

OK_X=286 OK_Y=354          # the middle of the OK button (260, 344, 53 × 21)
CANCEL_X=346 CANCEL_Y=354  # the middle of the cancel button (320, 344, 53 × 21)

# 1. No file: Cancel leaves it missing.
start_dialog
click_at $CANCEL_X $CANCEL_Y
wait_end "Cancel"
[ ! -e "$ini" ] || fail "Cancel created the settings file"
echo "ok: cancel without a file"

# 2. No file: OK writes the defaults, seven lines, each ending in CR LF.
start_dialog
click_at $OK_X $OK_Y
wait_end "OK"
[ -f "$ini" ] || fail "OK did not write $ini"
expected=$(printf '%s\r\n' 5 "ＭＳ Ｐゴシック" 48 "100%" "" "TAVELLO Ver1.00" 0 | od -c)
[ "$(od -c <"$ini")" = "$expected" ] || fail "unexpected file: $(od -c <"$ini")"
echo "ok: OK writes the defaults"

# 3. An existing file with pictures: Cancel leaves it byte for byte.
printf '%s\r\n' 3 "IPAGothic" 20 "50%" "" "E2E" 1 /photos/a.jpg /photos/b.jpg > "$ini"
before=$(md5sum <"$ini")
start_dialog
click_at $CANCEL_X $CANCEL_Y
wait_end "Cancel"
[ "$(md5sum <"$ini")" = "$before" ] || fail "Cancel changed the file"
echo "ok: cancel keeps the file"

# 4. The same file: OK writes it back unchanged.
start_dialog
click_at $OK_X $OK_Y
wait_end "OK"
[ "$(md5sum <"$ini")" = "$before" ] || fail "OK changed a file the dialog wrote itself: $(od -c <"$ini")"
echo "ok: OK round trip"
