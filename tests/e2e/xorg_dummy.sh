# A real X.Org server on the dummy video driver, for tests that need several monitors (Xvfb
# reports one screen whatever it is told). Source it, then:
#   xorg_dummy_start 3072 768      starts a server with one wide virtual screen; sets DISPLAY
#   xorg_dummy_monitors L 1024 0 R 2048 1024
#                                  splits it into monitors (name, width, x; the first is primary)
#   xorg_dummy_monitor S 1024 2048 adds one more monitor, as if plugged in
#   xorg_dummy_stop                stops the server this shell started and removes its files
# The server needs root (as in CI). It picks a free display number itself (-displayfd), keeps its
# configuration and log in a temporary folder, and is the only process xorg_dummy_stop ends.

xorg_dummy_pid=""
xorg_dummy_dir=""

# A plain modeline at 30 frames a second: the dummy driver shows nothing, it only needs the size.
xorg_dummy_modeline() {
  local w=$1 h=$2
  local htotal=$((w + 32)) vtotal=$((h + 3))
  local clock_khz=$((htotal * vtotal * 30 / 1000))
  printf '"%dx%d" %d.%03d %d %d %d %d %d %d %d %d' "$w" "$h" $((clock_khz / 1000)) \
    $((clock_khz % 1000)) "$w" $((w + 8)) $((w + 16)) "$htotal" "$h" $((h + 1)) $((h + 2)) "$vtotal"
}

xorg_dummy_config() {
  local w=$1 h=$2
  cat <<EOF
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 262144
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 1.0-2000.0
  VertRefresh 1.0-200.0
  Modeline $(xorg_dummy_modeline "$w" "$h")
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "${w}x${h}"
    Virtual $w $h
  EndSubSection
EndSection
EOF
}

# Starts the server and waits (up to 20 s) until it answers; sets DISPLAY. Fails (status 1) when
# the server cannot be started, leaving its log in $xorg_dummy_dir/xorg.log until the stop.
xorg_dummy_start() {
  local w=$1 h=$2
  xorg_dummy_dir=$(mktemp -d)
  mkdir "$xorg_dummy_dir/conf.d"
  xorg_dummy_config "$w" "$h" > "$xorg_dummy_dir/xorg.conf"
  mkfifo "$xorg_dummy_dir/displayfd"
  Xorg -config "$xorg_dummy_dir/xorg.conf" -configdir "$xorg_dummy_dir/conf.d" \
    -logfile "$xorg_dummy_dir/xorg.log" -displayfd 3 -noreset -nolisten tcp -novtswitch \
    -keeptty 3>"$xorg_dummy_dir/displayfd" </dev/null >/dev/null 2>&1 &
  xorg_dummy_pid=$!
  local number=""
  read -r -t 20 number <"$xorg_dummy_dir/displayfd" || true
  if [ -z "$number" ]; then
    echo "xorg_dummy: the server did not start; its log:" >&2
    tail -n 20 "$xorg_dummy_dir/xorg.log" >&2 2>/dev/null || true
    return 1
  fi
  export DISPLAY=":$number"
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "xorg_dummy: the server on $DISPLAY does not answer" >&2
  return 1
}

# Adds a monitor "name width x [output]" across the screen's full height; without an output it
# is one more monitor on the same screen, as if plugged in (remove it with xrandr --delmonitor).
xorg_dummy_monitor() {
  local h
  h=$(xdpyinfo | awk '/dimensions:/ { split($2, s, "x"); h = s[2] } END { print h }')
  # Sizes in millimetres at about 96 dots per inch.
  xrandr --setmonitor "$1" "$2/$(($2 * 254 / 960))x$h/$((h * 254 / 960))+$3+0" "${4:-none}"
}

# Splits the fresh server's screen into the given monitors, each "name width x"; the first takes
# the screen's output and is the primary.
xorg_dummy_monitors() {
  xorg_dummy_monitor "$1" "$2" "$3" DUMMY0 >/dev/null || return 1
  shift 3
  while [ "$#" -ge 3 ]; do
    xorg_dummy_monitor "$1" "$2" "$3" >/dev/null || return 1
    shift 3
  done
}

xorg_dummy_stop() {
  if [ -n "$xorg_dummy_pid" ]; then
    kill "$xorg_dummy_pid" 2>/dev/null || true
    wait "$xorg_dummy_pid" 2>/dev/null || true
    xorg_dummy_pid=""
  fi
  if [ -n "$xorg_dummy_dir" ]; then
    rm -rf "$xorg_dummy_dir"
    xorg_dummy_dir=""
  fi
}
