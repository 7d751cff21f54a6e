# Helpers for the end-to-end tests on a Wayland desk, sourced after common.sh and e2e_prepare:
# a headless compositor (wayland_start_sway N, wayland_start_kwin N, wayland_start_gnome N: N
# virtual outputs) with its own session bus, and programs run in that session
# (wayland_run_as_user [VAR=value]... COMMAND).
# As root the session belongs to a throwaway user (host_common.sh, which also cleans up on exit).
# A compositor that cannot run here skips the test (77). WAYLAND_DISPLAY, XDG_RUNTIME_DIR and
# DBUS_SESSION_BUS_ADDRESS then name the session; wayland_log is the compositor's log.

. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"

wayland_skip() { echo "SKIP: $*" && exit 77; }

# The session's owner: a throwaway user as root, the caller otherwise. Sets wayland_uid,
# wayland_gid, wayland_home and XDG_RUNTIME_DIR.
wayland_prepare_user() {
  [ -z "${wayland_uid:-}" ] || return 0
  # Whatever the order the script sourced the kits in, the session is ended with it.
  trap host_cleanup EXIT
  if [ "$(id -u)" -eq 0 ]; then
    host_make_user wayland
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

# wayland_wait_socket NAME PATTERN: waits until the compositor just started ($!, named NAME)
# listens on a socket named PATTERN in the runtime folder (it makes the socket once it listens),
# failing with its log when it ends first; sets wayland_compositor and WAYLAND_DISPLAY.
wayland_wait_socket() {
  wayland_compositor=$!
  extra_pids="$extra_pids $wayland_compositor"
  local socket=""
  for _ in $(seq 300); do
    socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name "$2" -printf '%f\n' | head -n 1)
    [ -n "$socket" ] && break
    kill -0 "$wayland_compositor" 2>/dev/null || fail "$1 did not start: $(tail -n 20 "$wayland_log")"
    sleep 0.1
  done
  [ -n "$socket" ] || fail "$1 opened no socket: $(tail -n 20 "$wayland_log")"
  export WAYLAND_DISPLAY=$socket
}

# wayland_start_sway OUTPUTS: headless sway (software rendering, no input devices) with OUTPUTS
# virtual outputs and no configuration; sets SWAYSOCK for swaymsg.
wayland_start_sway() {
  command -v sway >/dev/null || wayland_skip "sway is not installed"
  wayland_prepare_user
  wayland_start_bus
  wayland_log="$work/sway.log"
  wayland_run_as_user WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS="$1" \
    WLR_LIBINPUT_NO_DEVICES=1 WAYLAND_DISPLAY= \
    sway -c /dev/null >"$wayland_log" 2>&1 &
  # sway names its socket itself, in the fresh runtime folder.
  wayland_wait_socket sway 'wayland-*'
  export SWAYSOCK
  SWAYSOCK=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'sway-ipc.*.sock' | head -n 1)
}

# wayland_start_kwin OUTPUTS: KWin on its virtual backend with OUTPUTS outputs, on the session
# bus, where it also offers the screen locker. The packaged
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
  wayland_run_as_user KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_COMPOSE=Q WAYLAND_DISPLAY= \
    "$work/kwin/kwin_wayland" --virtual --output-count "$1" --socket wayland-kwin \
    >"$wayland_log" 2>&1 &
  wayland_wait_socket kwin_wayland wayland-kwin
  # Its services (the screen locker among them) are there once its own name is.
  wait_until 30 "KWin never took its name on the session bus: $(tail -n 20 "$wayland_log")" \
    wayland_bus_has org.kde.KWin
}

# wayland_start_gnome OUTPUTS: GNOME's compositor, headless mutter, with OUTPUTS virtual monitors
# of different sizes (1024x768, 800x600, 640x480), offering its idle monitor and its remote
# desktop (input) on the session bus.
wayland_start_gnome() {
  command -v mutter >/dev/null || wayland_skip "mutter is not installed"
  wayland_prepare_user
  wayland_start_bus
  wayland_log="$work/mutter.log"
  local socket="wayland-tavello-$$" sizes=(1024x768 800x600 640x480) monitors=() size
  for size in "${sizes[@]:0:$1}"; do monitors+=(--virtual-monitor "$size"); done
  wayland_run_as_user WAYLAND_DISPLAY= mutter --headless --wayland --no-x11 \
    --wayland-display "$socket" "${monitors[@]}" >"$wayland_log" 2>&1 &
  wayland_wait_socket mutter "$socket"
  wait_until 30 "mutter never offered its services: $(tail -n 20 "$wayland_log")" \
    wayland_bus_has org.gnome.Mutter.IdleMonitor org.gnome.Mutter.RemoteDesktop
}

# How many monitors a window of the program asked to fill and was given the size of, from the
# program's protocol log on stdin (WAYLAND_DEBUG=client): mutter offers no layer shell.
wayland_monitors_filled() {
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
    END { n = 0; for (o in filled) n++; print n }'
}

# Whether the names given are all owned on the session bus.
wayland_bus_has() {
  local name
  for name; do
    wayland_run_as_user dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
      org.freedesktop.DBus.NameHasOwner "string:$name" 2>/dev/null | grep -q "boolean true" ||
      return 1
  done
}
