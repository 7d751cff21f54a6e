#!/usr/bin/env bash
# End to end: "/S" in a headless Wayland session of two outputs, natively on the compositor.
# Under sway, screenshots of each output show the picture on the first and black on the second,
# nothing of the desktop's bright background, and black on a third one added during the show. KWin takes no screenshots without OpenGL; there the
# program's own protocol log shows the compositor sizing and showing a surface on each output.
# A key typed then ends the program.
# Usage: saver_wayland.sh <tavello binary> sway
#        saver_wayland.sh <tavello binary> <input probe> kwin
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tavello=$1
compositor=${*: -1}
input_probe=${2:-}
e2e_prepare "saver_wayland_$compositor"
. "$(dirname "${BASH_SOURCE[0]}")/wayland_common.sh"
if [ "$compositor" = sway ]; then
  for tool in grim wtype; do command -v "$tool" >/dev/null || wayland_skip "$tool is not installed"; done
fi
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

# How many surfaces of the program the compositor gave a size and showed a frame of, from the
# protocol log: each frame callback belongs to the surface that asked for it.
surfaces_shown() {
  local shown
  shown=$(awk '
    /-> wl_surface@[0-9]+\.frame\(new id wl_callback@/ {
      match($0, /wl_surface@[0-9]+/); s = substr($0, RSTART, RLENGTH)
      match($0, /wl_callback@[0-9]+\)/); owner[substr($0, RSTART, RLENGTH - 1)] = s
    }
    / wl_callback@[0-9]+\.done\(/ {
      match($0, /wl_callback@[0-9]+/); c = substr($0, RSTART, RLENGTH)
      if (c in owner) { seen[owner[c]] = 1; delete owner[c] }
    }
    END { n = 0; for (s in seen) n++; print n }' "$work/tavello.log")
  local sized
  sized=$(grep -oE 'zwlr_layer_surface_v1@[0-9]+\.configure\([0-9]+, [1-9][0-9]*, [1-9]' \
    "$work/tavello.log" | cut -d. -f1 | sort -u | wc -l)
  [ "$shown" -ge 2 ] && [ "$sized" -ge 2 ]
}

# Puts the show up and waits until it stands on both outputs.
show_up() {
  if [ "$compositor" = sway ]; then
    wayland_run_as_user XDG_SESSION_TYPE=wayland "$tavello" /S 2>"$work/tavello.log" &
    pid=$!
    wait_until 20 "HEADLESS-1 never showed the picture over black" shows HEADLESS-1 picture
    wait_until 20 "HEADLESS-2 never turned black" shows HEADLESS-2 black
    echo "seen: the picture on HEADLESS-1, black on HEADLESS-2"
    # A monitor plugged in during the show is covered too.
    wayland_run_as_user swaymsg create_output >/dev/null
    wait_until 20 "HEADLESS-3, added during the show, never turned black" shows HEADLESS-3 black
    echo "seen: black on HEADLESS-3, added during the show"
  else
    wayland_run_as_user XDG_SESSION_TYPE=wayland WAYLAND_DEBUG=client "$tavello" /S \
      2>"$work/tavello.log" &
    pid=$!
    wait_until 20 "KWin did not show a surface of the show on each output" surfaces_shown
    echo "seen: a surface of the show sized and shown on each output"
  fi
}

# Gives the input $1 (a key, or under KWin also a pointer move); whether the show has ended.
# Without input devices the seat gets its keyboard (pointer) with the first key (move), which then
# reaches no one yet; the show ends at a later one.
input_ends() {
  case $compositor-$1 in
    sway-key) wayland_run_as_user wtype a ;;
    kwin-key) wayland_run_as_user "$input_probe" key ;;
    kwin-move) echo >&7 ;;
  esac
  ! kill -0 "$pid" 2>/dev/null
}
if [ "$compositor" = kwin ]; then
  mkfifo -m 644 "$work/moves"
  wayland_run_as_user "$input_probe" move <"$work/moves" &
  extra_pids="$extra_pids $!"
  exec 7>"$work/moves"
fi

inputs=(key)
[ "$compositor" = sway ] || inputs+=(move)
for input in "${inputs[@]}"; do
  show_up
  wait_until 10 "still running after each $input: $(tail -n 20 "$work/tavello.log")" input_ends "$input"
  wait_exit 5 "did not end" || fail "exit status $?: $(tail -n 20 "$work/tavello.log")"
  echo "ended after a $input"
done
