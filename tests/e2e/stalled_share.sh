#!/usr/bin/env bash
# End to end: a folder entry on a share that stopped answering (bindfs over FUSE, its process
# stopped). "/S" ends within a second of Escape, the keyboard free; the next start is not refused;
# "/C" with the entry selected ends within a second of キャンセル and of a close request.
# Usage: stalled_share.sh <tavello binary> <desk probe binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
if [ ! -c /dev/fuse ] || ! command -v bindfs >/dev/null || ! command -v fusermount >/dev/null; then
  echo "SKIP: needs /dev/fuse, bindfs and fusermount for a share that stops answering"
  exit 77
fi
e2e_under_xvfb
tavello=$1 desk_probe=$2
e2e_prepare stalled_share_e2e
mkdir -p "$XDG_CONFIG_HOME/tavello" "$work/pics" "$work/share"
convert -size 64x48 xc:'#00ff00' "$work/pics/1.png"
printf '%s\r\n' 1 "IPAGothic" 40 "100%" "" "E2E" 0 "$work/share/" >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

# bindfs in the foreground, so $! is the server; cleanup lets it answer again before unmounting.
bindfs -f "$work/pics" "$work/share" 2>"$work/bindfs.log" &
share_pid=$!
e2e_helpers+=("$share_pid")
trap 'kill -CONT $share_pid || true; fusermount -u -z "$work/share" || true; e2e_cleanup' EXIT
mounted() { grep -qF " $work/share fuse" /proc/mounts; }
poll 10 mounted || { echo "SKIP: FUSE mount refused: $(cat "$work/bindfs.log")"; exit 77; }
kill -STOP "$share_pid"

# Whether a thread of the program, or of its folder-listing loader, waits for the stopped
# server's answer.
blocked_on_share() {
  local p
  for p in "$pid" $(pgrep -P "$pid" || true); do
    cat /proc/"$p"/task/*/wchan 2>/dev/null | grep -qE 'request_wait_answer|fuse' && return 0
  done
  return 1
}
grabs() { [ "$("$desk_probe" grabs)" = "$1" ]; }

"$tavello" /S &
pid=$!
wait_window Form1
wait_until 10 "the show never looked into the share" blocked_on_share
wait_until 5 "the show does not hold the keyboard" grabs "keyboard held pointer free"
xdotool key Escape
wait_exit 1 "/S still running a second after Escape" || fail "/S exit status $?"
grabs "keyboard free pointer free" || fail "the keyboard is still held after the show"

# The first list item (client 60,193) selected, its first picture is looked for in the share.
for how in cancel close; do
  "$tavello" /C &
  pid=$!
  wait_window "TAVELLOの設定"
  wait_drawn "$win"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 60)) $((Y + 193)) click 1
  wait_until 10 "the dialog never looked into the share" blocked_on_share
  if [ "$how" = cancel ]; then xdotool mousemove $((X + 346)) $((Y + 354)) click 1; fi
  if [ "$how" = close ]; then "$desk_probe" close "$win"; fi
  wait_exit 1 "/C still running a second after $how" || fail "/C exit status $?"
done
echo "ok: the show and the dialog ended at once"
