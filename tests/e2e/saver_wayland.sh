#!/usr/bin/env bash
# End to end: "/S" in a headless Wayland session of two outputs, natively on the compositor
# (sway, or KWin with "kwin"). Screenshots of each output show the picture on the first and black
# on the second, nothing of the desktop's bright background; a typed key ends the program.
# Usage: saver_wayland.sh <tavello binary> [sway|kwin]
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tavello=$1
compositor=${2:-sway}
e2e_prepare "saver_wayland_$compositor"
. "$(dirname "${BASH_SOURCE[0]}")/wayland_common.sh"
for tool in grim wtype; do command -v "$tool" >/dev/null || wayland_skip "$tool is not installed"; done
"wayland_start_$compositor" 2

# A picture of its own colour, smaller than an output, in the middle of the first one.
mkdir -p "$XDG_CONFIG_HOME/tavello"
convert -size 320x240 xc:'#ff0000' -quality 95 "$work/red.jpg"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "" 0 "$work/red.jpg" >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
chmod a+r "$work/red.jpg"
chown -R "$wayland_uid:$wayland_gid" "$XDG_CONFIG_HOME"

# Anything the show leaves uncovered is bright green.
if [ "$compositor" = sway ]; then
  wayland_run_as_user swaymsg output '*' bg '#00ff00' solid_color >/dev/null
fi

# The output's screenshot and its size.
output_shot() {
  rm -f "$work/shot.png"
  wayland_run_as_user grim -o "$1" - >"$work/shot.png" 2>/dev/null || return 1
  read -r width height < <(identify -format '%w %h\n' "$work/shot.png")
}

# Whether the output $1 shows red in its middle and black at the corners, or black all over ($2).
shows() {
  output_shot "$1" || return 1
  local middle="$((width / 2)) $((height / 2))" edge=$((width - 2)) bottom=$((height - 2))
  local colour="255,0,0"
  [ "$2" = picture ] || colour="0,0,0"
  holds "$middle $colour" "1 1 0,0,0" "$edge 1 0,0,0" "1 $bottom 0,0,0" "$edge $bottom 0,0,0"
}

wayland_run_as_user XDG_SESSION_TYPE=wayland "$tavello" /S 2>"$work/tavello.log" &
pid=$!
outputs=(HEADLESS-1 HEADLESS-2)
[ "$compositor" = sway ] || outputs=(Virtual-0 Virtual-1)
wait_until 20 "the first output never showed the picture over black" shows "${outputs[0]}" picture
wait_until 20 "the second output never turned black" shows "${outputs[1]}" black
echo "seen: the picture on ${outputs[0]}, black on ${outputs[1]}"

# Without input devices the seat gets its keyboard with wtype's first key, which then reaches no
# one yet; the show ends at the next.
typed_ends() {
  wayland_run_as_user wtype a
  ! kill -0 "$pid" 2>/dev/null
}
wait_until 10 "still running after typed keys: $(cat "$work/tavello.log")" typed_ends
wait_exit 5 "did not end" || fail "exit status $?: $(cat "$work/tavello.log")"
echo "ended after a key"
