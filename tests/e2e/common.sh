# Helpers shared by the end-to-end scripts. A script sources it from its own folder:
#   . "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# They work on the globals work (the script's temporary folder), pid (the program under test) and
# e2e_name (the name of the screenshot kept on failure).

# Starts this script's own virtual X server (default 1024 × 768) and points DISPLAY and
# XAUTHORITY at it. The server picks a free display number itself (-displayfd) and writes it once
# it accepts clients, so scripts can run side by side and nothing waits on time. It requires the
# cookie, like a login session's server; -noreset keeps it up between programs (by default it
# resets when its last client leaves, and a program started in that moment cannot connect).
# Stopped on exit, before the temporary folder goes.
e2e_under_xvfb() {
  e2e_xvfb_dir=$(mktemp -d)
  local cookie
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  # The server takes every cookie in its file whatever display it names.
  touch "$e2e_xvfb_dir/server" "$e2e_xvfb_dir/client"
  xauth -q -f "$e2e_xvfb_dir/server" add :0 . "$cookie"
  Xvfb -displayfd 3 -auth "$e2e_xvfb_dir/server" -screen 0 "${E2E_SCREEN:-1024x768x24}" \
    -noreset -nolisten tcp 3>"$e2e_xvfb_dir/display" 2>"$e2e_xvfb_dir/xvfb.log" &
  e2e_xvfb_pid=$!
  trap e2e_cleanup EXIT
  poll 10 grep -q . "$e2e_xvfb_dir/display" ||
    fail "Xvfb did not start: $(cat "$e2e_xvfb_dir/xvfb.log" 2>/dev/null)"
  export DISPLAY=":$(head -n1 "$e2e_xvfb_dir/display")" XAUTHORITY="$e2e_xvfb_dir/client"
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
}

# Polls "$@" every tenth of a second until it succeeds (status 0), for up to $1 seconds (else 1).
poll() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Polls "$@" every tenth of a second until it succeeds, failing with "$2" after $1 seconds.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  poll "$seconds" "$@" || fail "$what"
}

# The processes whose command line matches $1 (pgrep -f) and that run on this script's display:
# programs of the same name run by tests side by side are not ours.
pgrep_here() {
  local p
  for p in $(pgrep -f "$1" || true); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "DISPLAY=$DISPLAY" && echo "$p"
  done
  return 0
}

# A temporary folder for settings and the runtime lock, removed (and the program ended) on exit.
# The settings folder itself is left for the script to make, so a missing one can be tested.
# Only a started program is killed: "kill 0" would end the whole process group, runner and all.
e2e_prepare() {
  e2e_name=$1
  pid=""
  work=$(mktemp -d)
  e2e_helpers=()
  trap e2e_cleanup EXIT
  export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy
  # The developer's own Wayland session is not the desk under test; a script that wants one
  # starts its own.
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_SESSION_TYPE
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# Ends the program under test and the helper programs the script started (and only those), stops
# an X server the script started itself, and removes the temporary folder.
e2e_cleanup() {
  if [ -n "${pid:-}" ]; then kill "$pid" 2>/dev/null || true; fi
  local helper
  for helper in ${e2e_helpers[@]+"${e2e_helpers[@]}"}; do kill "$helper" 2>/dev/null || true; done
  if declare -F xorg_dummy_stop >/dev/null; then xorg_dummy_stop; fi
  if [ -n "${e2e_xvfb_pid:-}" ]; then
    kill "$e2e_xvfb_pid" 2>/dev/null || true
    wait "$e2e_xvfb_pid" 2>/dev/null || true
    rm -rf "$e2e_xvfb_dir"
  fi
  rm -rf "${work:-}"
}

# Starts openbox as the window manager and waits (up to 10 s) until it has taken the screen.
e2e_start_openbox() {
  openbox --sm-disable >/dev/null 2>&1 &
  e2e_helpers+=("$!")
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    sleep 0.1
  done
  fail "openbox did not take the screen"
}

# Stores the screen-saver password $2 and switches it on, through "/A" of the program $1 driven
# by the keyboard like a user would: new password, confirmation, the switch, OK.
e2e_set_password() {
  local tavello=$1 password=$2 dialog
  "$tavello" "/A 0" &
  pid=$!
  wait_window "パスワードの変更"
  dialog=$win
  wait_until 10 "the password dialog never took the keyboard focus" focused "$dialog"
  xdotool type --delay 20 "$password"
  xdotool key Tab
  xdotool type --delay 20 "$password"
  xdotool key Tab space Return
  wait_exit 10 "the password dialog did not close" || fail "/A exit status $?"
  pid=""
  [ -s "$XDG_CONFIG_HOME/tavello/scrsave.pwd" ] || fail "no password stored"
  grep -q '"ScreenSaveUsePassword"=dword:00000001' "$XDG_CONFIG_HOME/tavello/user.reg" ||
    fail "the password switch is not on"
}

# Ends the test, keeping the last screenshot (or, with none taken, the screen as it is now).
fail() {
  echo "FAIL: $*" >&2
  local kept="${TMPDIR:-/tmp}/${e2e_name:-e2e}_last.png"
  if [ -f "${work:-}/shot.png" ]; then
    cp "$work/shot.png" "$kept"
  else
    import -window root "$kept" 2>/dev/null || true
  fi
  exit 1
}

shot() { import -window root "$work/shot.png"; }

# "r g b" for each "x y" given, from the last screenshot, one line each, in one pass.
pixels() {
  local format=""
  for point in "$@"; do
    read -r x y <<<"$point"
    format+="%[fx:int(255*p{$x,$y}.r+.5)] %[fx:int(255*p{$x,$y}.g+.5)] %[fx:int(255*p{$x,$y}.b+.5)]\n"
  done
  convert "$work/shot.png" -format "$format" info:
}

# Whether every "x y r,g,b" check holds on the last screenshot, each channel within 24.
holds() {
  local points=() wants=()
  for check in "$@"; do
    read -r x y rgb <<<"$check"
    points+=("$x $y")
    wants+=("${rgb//,/ }")
  done
  local i=0 got want
  while read -r -a got; do
    read -r -a want <<<"${wants[i]}"
    for c in 0 1 2; do
      local d=$((got[c] - want[c]))
      [ "${d#-}" -le 24 ] || return 1
    done
    i=$((i + 1))
  done < <(pixels "${points[@]}")
}

# Waits (up to 12 s) while the program runs, until every "x y r,g,b" check holds on a fresh screenshot.
wait_for() {
  local name=$1
  shift
  for _ in $(seq 120); do
    shot
    if holds "$@"; then
      echo "seen: $name"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || fail "program ended before $name"
    sleep 0.1
  done
  fail "$name not seen"
}

# The visible top-level window whose name is exactly $1, or nothing.
window_named() {
  local w
  for w in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { echo "$w"; return 0; }
  done
  return 0
}

# Waits (up to 10 s) for the program's visible window named exactly $1; sets win.
wait_window() {
  win=""
  for _ in $(seq 100); do
    win=$(window_named "$1")
    [ -n "$win" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "program ended before its window showed"
    sleep 0.1
  done
  fail "no window named $1"
}

# Whether window $1 holds the keyboard focus; if not, asks for it, as the window manager would
# give it where there is none, and answers on the next call.
focused() {
  [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ] && return 0
  xdotool windowfocus "$1" 2>/dev/null
  return 1
}

# Whether the window holding the keyboard focus is named exactly $1: typing goes there.
focus_is() { [ "$(xdotool getwindowfocus -f getwindowname 2>/dev/null)" = "$1" ]; }

# Waits (up to 10 s) until the window $1 is drawn: part of it on a fresh screenshot is not black,
# the empty screen's colour. A click on a window mapped but not drawn yet may reach a program
# still setting it up.
wait_drawn() {
  local box
  box=$(xdotool getwindowgeometry --shell "$1" |
    awk -F= '{ v[$1] = $2 } END { print v["WIDTH"] "x" v["HEIGHT"] "+" v["X"] "+" v["Y"] }')
  wait_until 10 "window $1 mapped but never drawn" drawn "$box"
}
drawn() {
  shot
  [ "$(convert "$work/shot.png" -crop "$1" +repage -format '%[fx:maxima>0]' info:)" = 1 ]
}

# Waits (up to $1 whole seconds) for the program to end, failing with "$2" when it does not.
# Returns the program's exit status.
wait_exit() {
  for _ in $(seq $(($1 * 20))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then fail "$2"; fi
  local status=0
  wait "$pid" || status=$?
  return "$status"
}
