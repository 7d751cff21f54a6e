#!/usr/bin/env bash
# End to end: "/S" on GNOME's compositor (headless mutter, two virtual monitors of different
# sizes), which offers no layer shell. mutter takes no screenshots for a client like this; the
# program's own protocol log shows a window of the show asking for each monitor in turn and the
# compositor making it that monitor's size. SIGTERM, as at log-out, then ends the program, which
# dies by it once it has closed the show.
# Usage: saver_wayland_gnome.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tavello=$1
e2e_prepare saver_wayland_gnome
. "$(dirname "${BASH_SOURCE[0]}")/wayland_common.sh"
command -v mutter >/dev/null || wayland_skip "mutter is not installed"
wayland_prepare_user
wayland_start_bus
wayland_log="$work/mutter.log"
socket="wayland-tavello-$$"
wayland_run_as_user WAYLAND_DISPLAY= mutter --headless --wayland --no-x11 \
  --wayland-display "$socket" --virtual-monitor 1024x768 --virtual-monitor 800x600 \
  >"$wayland_log" 2>&1 &
wayland_wait_socket mutter "$socket"

mkdir -p "$XDG_CONFIG_HOME/tavello"
convert -size 320x240 xc:'#ff0000' "$work/red.jpg"
chmod a+r "$work/red.jpg"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "" 0 "$work/red.jpg" >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
chown -R "$wayland_uid:$wayland_gid" "$XDG_CONFIG_HOME"

# How many monitors a window of the program asked to fill and was given the size of.
monitors_filled() {
  awk '
    function id(kind) { match($0, kind "@[0-9]+"); return substr($0, RSTART, RLENGTH) }
    / wl_output@[0-9]+\.mode\(/ { split($0, f, /[(,)]/); size[id("wl_output")] = f[3]+0 "x" f[4]+0 }
    /-> xdg_toplevel@[0-9]+\.set_fullscreen\(wl_output@/ {
      o = $0; sub(/.*set_fullscreen\(/, "", o); sub(/\).*/, "", o); asked[id("xdg_toplevel")] = o
    }
    / xdg_toplevel@[0-9]+\.configure\([1-9]/ {
      t = id("xdg_toplevel"); split($0, f, /[(,)]/)
      if ((t in asked) && size[asked[t]] == f[2]+0 "x" f[3]+0) filled[asked[t]] = 1
    }
    END { n = 0; for (o in filled) n++; print n }' "$work/tavello.log"
}

wayland_run_as_user XDG_SESSION_TYPE=wayland WAYLAND_DEBUG=client "$tavello" /S \
  2>"$work/tavello.log" &
pid=$!
fills_both() { [ "$(monitors_filled)" -ge 2 ]; }
wait_until 20 "the show did not fill both monitors" fills_both
echo "seen: a window of the show filling each monitor"
pkill -TERM -P "$pid"
status=0
wait_exit 10 "still running after SIGTERM" || status=$?
[ "$status" -eq 143 ] || fail "exit status $status after SIGTERM: $(grep -v '^\[' "$work/tavello.log")"
echo "ended on SIGTERM"
