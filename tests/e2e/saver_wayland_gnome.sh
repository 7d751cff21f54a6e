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
wayland_start_gnome 2

mkdir -p "$XDG_CONFIG_HOME/tavello"
convert -size 320x240 xc:'#ff0000' "$work/red.jpg"
chmod a+r "$work/red.jpg"
printf '%s\r\n' 4 "IPAGothic" 40 "100%" "" "" 0 "$work/red.jpg" >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
chown -R "$wayland_uid:$wayland_gid" "$XDG_CONFIG_HOME"

wayland_run_as_user XDG_SESSION_TYPE=wayland WAYLAND_DEBUG=client "$tavello" /S \
  2>"$work/tavello.log" &
pid=$!
fills_both() { [ "$(wayland_monitors_filled <"$work/tavello.log")" -ge 2 ]; }
wait_until 20 "the show did not fill both monitors" fills_both
echo "seen: a window of the show filling each monitor"
pkill -TERM -P "$pid"
status=0
wait_exit 10 "still running after SIGTERM" || status=$?
[ "$status" -eq 143 ] || fail "exit status $status after SIGTERM: $(grep -v '^\[' "$work/tavello.log")"
echo "ended on SIGTERM"
