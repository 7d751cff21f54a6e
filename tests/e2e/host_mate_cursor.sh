#!/usr/bin/env bash
# End to end with the real mate-screensaver: TAVELLO chosen as its theme with gsettings and the
# saver started by "mate-screensaver-command --activate", the pointer never moved, no cursor
# shows over the show once its picture is up.
# It runs the saver as a throwaway user in a session bus of its own, so it needs root,
# mate-screensaver and dbus-run-session; skipped (exit status 77) otherwise.
# Usage: host_mate_cursor.sh <tavello binary> <saver_cursor_probe binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: needs root to make a throwaway user and its /run/user folder"
  exit 77
fi
if ! command -v mate-screensaver >/dev/null || ! command -v dbus-run-session >/dev/null ||
  ! command -v gsettings >/dev/null; then
  echo "SKIP: mate-screensaver, dbus-run-session or gsettings is not installed"
  exit 77
fi
e2e_under_xvfb

tavello=$1
cursor_probe=$2
e2e_prepare host_mate_cursor_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
host_make_user mate
# mate-screensaver runs only hacks in the hack folders, whatever the theme's file says.
hack="/usr/libexec/xscreensaver/tavello-e2e-$$"
trap 'rm -f "$hack"; host_cleanup' EXIT
install -D -m 755 "$tavello" "$hack"
convert -size 640x480 xc:'#ff0000' "$home/red.png"
printf '%s\r\n' 1 "IPAGothic" 40 "100%" "" "" 0 "$home/red.png" >"$home/.config/tavello/TAVELLO.INI"
# The theme as the installed package lists it, in the user's own applications folder.
mkdir -p "$home/.local/share/applications/screensavers"
sed "s|@TAVELLO_HACK@|$hack|g" \
  "$(dirname "${BASH_SOURCE[0]}")/../../packaging/screensavers/tavello.desktop.in" \
  >"$home/.local/share/applications/screensavers/tavello.desktop"
host_hand_over_home

mate_env=(DISPLAY="$DISPLAY" HOME="$home" PATH="$PATH" LANG=C.UTF-8 XDG_RUNTIME_DIR="$run"
  XDG_CURRENT_DESKTOP=MATE)
# The session bus's address is written down for the commands below; the saver runs inside it.
as_user "${mate_env[@]}" dbus-run-session -- sh -c '
  echo "$DBUS_SESSION_BUS_ADDRESS" >"$HOME/bus"
  gsettings set org.mate.screensaver mode single
  gsettings set org.mate.screensaver themes "[\"screensavers-tavello\"]"
  gsettings set org.mate.screensaver lock-enabled false
  exec mate-screensaver --no-daemon' >"$work/mate.log" 2>&1 &
extra_pids="$extra_pids $!"
wait_until 10 "no session bus for mate-screensaver" test -s "$home/bus"
in_session() { as_user "${mate_env[@]}" DBUS_SESSION_BUS_ADDRESS="$(cat "$home/bus")" "$@"; }
poll 10 in_session mate-screensaver-command --query >/dev/null 2>&1 ||
  { cat "$work/mate.log" >&2; fail "mate-screensaver does not answer"; }
in_session mate-screensaver-command --activate >/dev/null

show_pid() { pgrep -u "$user" -f "^$hack --root" | head -n 1; }
poll 10 show_pid >/dev/null || { cat "$work/mate.log" >&2; fail "mate-screensaver did not start TAVELLO"; }
pid=$(show_pid)
wait_for "the picture in mate-screensaver's window" "512 384 255,0,0"

cursor_is() { [ "$("$cursor_probe")" = "$1" ]; }
wait_until 5 "a cursor stands over the show, the pointer never moved" cursor_is hidden
echo "seen: no cursor over the show"
