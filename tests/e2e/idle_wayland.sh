#!/usr/bin/env bash
# End to end on a headless Wayland desk of two outputs: "tavello --idle 3s" runs the show, its
# "/S" child, natively on the compositor after three idle seconds; input ends the show but not
# the watcher, and the next idle period brings the show back.
# Under sway, screenshots of each output show the picture on the first and black on the second,
# nothing of the desktop's bright background, and black on a third one added during the show. KWin
# takes no screenshots without OpenGL; there the program's own protocol log shows the compositor
# sizing and showing a surface on each output, a key ending the first show, a pointer move the
# second. GNOME's compositor (headless mutter) offers no layer shell: there the log shows a window
# of the show given each monitor's size, and mutter's remote desktop service gives the input, again
# a key then a pointer move. With the password switch on (kwin-password), the end of the show
# leaves KWin's lock up, and the lock was up before the first of the show's surfaces went.
# Usage: idle_wayland.sh <tavello binary> sway
#        idle_wayland.sh <tavello binary> <input probe> kwin|kwin-password|gnome
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
scenario=${*: -1}
input_probe=${2:-}
compositor=${scenario%-password}
e2e_prepare "idle_wayland_$scenario"
. "$(dirname "${BASH_SOURCE[0]}")/wayland_common.sh"
if [ "$compositor" = sway ]; then
  for tool in grim wtype; do command -v "$tool" >/dev/null || wayland_skip "$tool is not installed"; done
fi
"wayland_start_$compositor" 2

# A picture of its own colour, smaller than an output, in the middle of the first one.
mkdir -p "$XDG_CONFIG_HOME/tavello" "$work/bin"
convert -size 320x240 xc:'#ff0000' -quality 95 "$work/red.jpg"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "" 0 "$work/red.jpg" >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
if [ "$scenario" = kwin-password ]; then
  printf '%s\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Control Panel\desktop]' \
    '"ScreenSaveUsePassword"=dword:00000001' >"$XDG_CONFIG_HOME/tavello/user.reg"
fi
cp "$1" "$work/bin/tavello"
chmod -R a+rX "$work/bin" "$work/red.jpg"
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

# Whether the compositor gave two surfaces of the current show a size and showed a frame of each,
# from the protocol log since the show started: each frame callback belongs to the surface that
# asked for it.
surfaces_shown() {
  tail -n +"$from" "$work/tavello.log" | awk '
    /-> wl_surface@[0-9]+\.frame\(new id wl_callback@/ {
      match($0, /wl_surface@[0-9]+/); s = substr($0, RSTART, RLENGTH)
      match($0, /wl_callback@[0-9]+\)/); owner[substr($0, RSTART, RLENGTH - 1)] = s
    }
    / wl_callback@[0-9]+\.done\(/ {
      match($0, /wl_callback@[0-9]+/); c = substr($0, RSTART, RLENGTH)
      if ((c in owner) && !(owner[c] in seen)) { seen[owner[c]] = 1; shown++ }
    }
    /zwlr_layer_surface_v1@[0-9]+\.configure\([0-9]+, [1-9][0-9]*, [1-9]/ {
      match($0, /zwlr_layer_surface_v1@[0-9]+/); l = substr($0, RSTART, RLENGTH)
      if (!(l in sized)) { sized[l] = 1; sizes++ }
    }
    END { exit !(shown >= 2 && sizes >= 2) }'
}

# Whether mutter gave windows of the current show the size of both monitors.
gnome_filled() { [ "$(tail -n +"$from" "$work/tavello.log" | wayland_monitors_filled)" -ge 2 ]; }

# The watcher's show: its child, up on both outputs; sets show.
show_started() {
  show=$(pgrep -P "$pid" || true)
  [ -n "$show" ]
}
show_up() {
  from=$(($(wc -l <"$work/tavello.log") + 1))
  wait_until 20 "no show after an idle period" show_started
  if [ "$compositor" = gnome ]; then
    wait_until 20 "mutter did not give a window of the show each monitor's size" gnome_filled
    echo "seen: the show, a window of it filling each monitor"
  elif [ "$compositor" = sway ]; then
    wait_until 20 "HEADLESS-1 never showed the picture over black" shows HEADLESS-1 picture
    wait_until 20 "HEADLESS-2 never turned black" shows HEADLESS-2 black
    echo "seen: the show, the picture on HEADLESS-1, black on HEADLESS-2"
  else
    wait_until 20 "KWin did not show a surface of the show on each output" surfaces_shown
    echo "seen: the show, a surface of it sized and shown on each output"
  fi
}

# Gives the input $1 (a key, or under KWin also a pointer move); whether the show has ended.
# Without input devices the seat gets its keyboard (pointer) with the first key (move), which then
# reaches no one yet; the show ends at a later one.
input_ends() {
  case $compositor-$1 in
    sway-key) wayland_run_as_user wtype a ;;
    kwin-key | gnome-key) wayland_run_as_user "$input_probe" key ;;
    gnome-move) wayland_run_as_user "$input_probe" move ;;
    kwin-move) echo >&7 ;;
  esac
  ! kill -0 "$show" 2>/dev/null
}
watcher_alive() { kill -0 "$pid" 2>/dev/null || fail "the watcher ended: $(tail -n 20 "$work/tavello.log")"; }
saver_active() {
  wayland_run_as_user dbus-send --session --print-reply --dest=org.freedesktop.ScreenSaver \
    /ScreenSaver org.freedesktop.ScreenSaver.GetActive | grep -q "boolean true"
}
# Whether KWin's lock was up the moment the first of the show's surfaces went: asked as soon as
# the show's request to destroy it is in the protocol log.
lock_when_surfaces_go() {
  grep -q -m1 -- '-> zwlr_layer_surface_v1@[0-9]*\.destroy()' \
    < <(tail -n +"$from" --pid="$show" -f "$work/tavello.log") || { echo "never went"; return; }
  if saver_active; then echo "up"; else echo "not up"; fi
}

if [ "$compositor" = kwin ]; then
  mkfifo -m 644 "$work/moves"
  wayland_run_as_user "$input_probe" move <"$work/moves" &
  extra_pids="$extra_pids $!"
  exec 7>"$work/moves"
fi
: >"$work/tavello.log"
wayland_run_as_user WAYLAND_DEBUG=client "$work/bin/tavello" --idle 3s 2>>"$work/tavello.log" &
# The watcher itself, not the shell that runs it in the session.
watcher_started() { pid=$(pgrep -fx "$work/bin/tavello --idle 3s"); }
wait_until 10 "the watcher did not start" watcher_started

[ "$scenario" != kwin-password ] || ! saver_active || fail "KWin's lock is up before any show"
inputs=(key key)
[ "$compositor" = sway ] || inputs=(key move)
[ "$scenario" != kwin-password ] || inputs=(key)
added=""
for input in "${inputs[@]}"; do
  show_up
  if [ "$compositor" = sway ] && [ -z "$added" ]; then
    added=yes
    # A monitor plugged in during the show is covered too.
    wayland_run_as_user swaymsg create_output >/dev/null
    wait_until 20 "HEADLESS-3, added during the show, never turned black" shows HEADLESS-3 black
    echo "seen: black on HEADLESS-3, added during the show"
  fi
  if [ "$scenario" = kwin-password ]; then
    lock_when_surfaces_go >"$work/lock" &
    lock_look=$!
  fi
  wait_until 20 "the show still runs after each $input" input_ends "$input"
  watcher_alive
  echo "seen: a $input ended the show, the watcher goes on"
done
if [ "$scenario" = kwin-password ]; then
  wait "$lock_look"
  [ "$(cat "$work/lock")" = up ] || fail "KWin's lock when the show's surfaces went: $(cat "$work/lock")"
  saver_active || fail "the show ended, but KWin's lock is not up"
  echo "seen: the lock up before the show's surfaces went, and up after"
fi
echo "idle watcher on $scenario: passed"
