# Helpers for the end-to-end tests on a Wayland desk: a headless compositor (sway or KWin) with
# its own session bus, and the programs under test run inside that session. A script sources it
# after common.sh and e2e_prepare:
#   wayland_start_sway 2        sway with two virtual outputs
#   wayland_start_kwin 2        KWin with two virtual outputs
#   wayland_run_as_user [VAR=value]... COMMAND ARGS...
# Compositors refuse to run as root, so as root the session belongs to a throwaway user (see
# host_common.sh, which is sourced here and cleans everything up on exit); otherwise to the
# caller, in the script's own runtime folder. A compositor that cannot run here skips the test
# (exit 77), saying why. After a start, WAYLAND_DISPLAY, XDG_RUNTIME_DIR and
# DBUS_SESSION_BUS_ADDRESS name the session, and wayland_log is the compositor's log.

. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"

wayland_skip() {
  echo "SKIP: $*"
  exit 77
}

# The session's owner: a throwaway user as root, the caller otherwise. Sets wayland_uid,
# wayland_gid, wayland_home and XDG_RUNTIME_DIR.
wayland_prepare_user() {
  [ -z "${wayland_uid:-}" ] || return 0
  # Whatever the order the script sourced the kits in, the session is ended with it.
  trap host_cleanup EXIT
  if [ "$(id -u)" -eq 0 ]; then
    host_make_user wayland
    mkdir -p "$home/.config"
    host_hand_over_home
    wayland_uid=$uid wayland_gid=$gid wayland_home=$home
    export XDG_RUNTIME_DIR=$run XDG_CONFIG_HOME="$home/.config"
  else
    wayland_uid=$(id -u) wayland_gid=$(id -g) wayland_home=$HOME
  fi
}

# wayland_run_as_user [VAR=value]... COMMAND ARGS...: runs the command in the session, as its
# owner, with only the session's environment and the variables given.
wayland_run_as_user() {
  local vars=(HOME="$wayland_home" PATH="/usr/local/bin:/usr/bin:/bin"
    XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" XDG_CONFIG_HOME="$XDG_CONFIG_HOME"
    LANG="${LANG:-C.UTF-8}" SDL_AUDIODRIVER=dummy)
  [ -z "${WAYLAND_DISPLAY:-}" ] || vars+=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY")
  [ -z "${SWAYSOCK:-}" ] || vars+=(SWAYSOCK="$SWAYSOCK")
  [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || vars+=(DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS")
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid="$wayland_uid" --regid="$wayland_gid" --clear-groups env -i "${vars[@]}" "$@"
  else
    env -i "${vars[@]}" "$@"
  fi
}

# A session bus of the session's owner, for the desktop services the compositor offers.
wayland_start_bus() {
  command -v dbus-daemon >/dev/null || wayland_skip "dbus-daemon is not installed"
  wayland_run_as_user dbus-daemon --session --nofork --nopidfile --print-address=1 \
    >"$work/bus.address" 2>"$work/bus.log" &
  extra_pids="$extra_pids $!"
  poll 10 grep -q . "$work/bus.address" || fail "no session bus: $(cat "$work/bus.log")"
  export DBUS_SESSION_BUS_ADDRESS
  DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus.address")
}

# Waits until the compositor accepts clients on the socket $1 of the runtime folder, failing
# with the compositor's log when it ended first.
wayland_wait_socket() {
  local socket=$1 compositor=$2 name=$3
  for _ in $(seq 300); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && wayland_run_as_user WAYLAND_DISPLAY="$socket" \
      "$wayland_probe_client" 2>/dev/null && break
    kill -0 "$compositor" 2>/dev/null || fail "$name did not start: $(tail -n 20 "$wayland_log")"
    sleep 0.1
  done
  [ -S "$XDG_RUNTIME_DIR/$socket" ] || fail "$name opened no socket: $(tail -n 20 "$wayland_log")"
  export WAYLAND_DISPLAY=$socket
}

# A client that only connects: whether the compositor answers yet. wayland-info is not always
# there; the socket's existence is then enough, as the compositors make it once they listen.
wayland_probe_client=true
if command -v wayland-info >/dev/null; then wayland_probe_client=wayland-info; fi

# wayland_start_sway OUTPUTS: headless sway (software rendering, no input devices) with OUTPUTS
# virtual outputs and a configuration of its own; sets wayland_compositor (its pid).
wayland_start_sway() {
  command -v sway >/dev/null || wayland_skip "sway is not installed"
  wayland_prepare_user
  wayland_start_bus
  mkdir -p "$work/sway"
  printf '%s\n' 'default_border none' >"$work/sway/config"
  chmod -R a+rX "$work/sway"
  wayland_log="$work/sway.log"
  local socket=""
  wayland_run_as_user WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS="$1" \
    WLR_LIBINPUT_NO_DEVICES=1 WAYLAND_DISPLAY= \
    sway -c "$work/sway/config" >"$wayland_log" 2>&1 &
  wayland_compositor=$!
  extra_pids="$extra_pids $wayland_compositor"
  # sway names its socket itself: the first one that appears in the fresh runtime folder.
  for _ in $(seq 300); do
    socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'wayland-*' ! -name '*.lock' -printf '%f\n' |
      head -n 1)
    [ -n "$socket" ] && break
    kill -0 "$wayland_compositor" 2>/dev/null || fail "sway did not start: $(tail -n 20 "$wayland_log")"
    sleep 0.1
  done
  wayland_wait_socket "$socket" "$wayland_compositor" sway
  # swaymsg finds sway through this.
  export SWAYSOCK
  SWAYSOCK=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'sway-ipc.*.sock' | head -n 1)
}

# wayland_start_kwin OUTPUTS: KWin on its virtual backend with OUTPUTS outputs, on the session
# bus, where it also offers the screen locker; sets wayland_compositor (its pid). The packaged
# binary carries a file capability that keeps it from starting without a seat; a copy of it
# does not.
wayland_start_kwin() {
  command -v kwin_wayland >/dev/null || wayland_skip "kwin_wayland is not installed"
  wayland_prepare_user
  wayland_start_bus
  mkdir -p "$work/kwin"
  cp "$(command -v kwin_wayland)" "$work/kwin/kwin_wayland"
  chmod -R a+rX "$work/kwin"
  wayland_log="$work/kwin.log"
  local socket="wayland-tavello-$$"
  wayland_run_as_user KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_COMPOSE=Q WAYLAND_DISPLAY= \
    "$work/kwin/kwin_wayland" --virtual --output-count "$1" --socket "$socket" \
    >"$wayland_log" 2>&1 &
  wayland_compositor=$!
  extra_pids="$extra_pids $wayland_compositor"
  wayland_wait_socket "$socket" "$wayland_compositor" kwin_wayland
  # Its services (the screen locker among them) are there once its own name is.
  wait_until 30 "KWin never took its name on the session bus: $(tail -n 20 "$wayland_log")" \
    wayland_bus_has org.kde.KWin
}

# Whether the name $1 is owned on the session bus.
wayland_bus_has() {
  wayland_run_as_user dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q "boolean true"
}
