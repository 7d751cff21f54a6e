# Helpers for the end-to-end tests of the show in a screen-saver host's window. A script sources
# it after common.sh and e2e_prepare. Stand-in host windows come from the host_window program
# ($host_window_bin); every one of them and every process listed in extra_pids is ended on exit,
# and so is a throwaway user made by host_make_user, with all its processes and its folder.

extra_pids=""
made_user=""
run=""
host_cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  for p in $extra_pids; do kill "$p" 2>/dev/null || true; done
  if [ -n "$made_user" ]; then
    # Every process of the throwaway user was started by the script; userdel refuses while one
    # lives.
    for p in $(pgrep -u "$made_user" || true); do kill "$p" 2>/dev/null || true; done
    for _ in $(seq 50); do
      pgrep -u "$made_user" >/dev/null || break
      sleep 0.1
    done
    userdel "$made_user" || echo "could not remove the user $made_user" >&2
  fi
  if [ -n "$run" ]; then rm -rf "$run"; fi
  e2e_cleanup
}
trap host_cleanup EXIT

# host_make_user TAG: as root, a throwaway user named after TAG, whose home is $work/home (with
# bin/, .config/tavello/ and the X cookie, which hosts do not pass) and whose runtime folder
# /run/user/<uid> is made as a login session makes it. Sets user, uid, gid, home and run. Exits
# with 77 (skipped) when no user can be made.
host_make_user() {
  user="tavello-$1-$$"
  home="$work/home"
  mkdir -p "$home/bin" "$home/.config/tavello"
  if ! useradd -M -N -d "$home" -s /bin/sh "$user" 2>"$work/useradd.log"; then
    echo "SKIP: cannot make a throwaway user:"
    cat "$work/useradd.log"
    exit 77
  fi
  made_user=$user
  uid=$(id -u "$user")
  gid=$(id -g "$user")
  # The number was free until now, so a folder of that number is a leftover of an earlier,
  # interrupted run.
  run="/run/user/$uid"
  rm -rf "$run"
  mkdir -p /run/user
  mkdir -m 700 "$run"
  chown "$user:$gid" "$run"
  cp "${XAUTHORITY:-$HOME/.Xauthority}" "$home/.Xauthority" 2>/dev/null || touch "$home/.Xauthority"
}

# Gives the throwaway user its home, once the script has put its files there.
host_hand_over_home() {
  chown -R "$user:$gid" "$home"
  chmod 711 "$work"
}

# Runs a command as the throwaway user with exactly the environment given before it.
as_user() { setpriv --reuid="$uid" --regid="$gid" --clear-groups env -i "$@"; }

# host_open NAME X Y WIDTH HEIGHT: a host window; sets NAME_id (its id, hex) and NAME_fd.
host_open() {
  local name=$1 fd
  shift
  mkfifo "$work/$name.in"
  "$host_window_bin" "$@" <"$work/$name.in" >"$work/$name.out" &
  extra_pids="$extra_pids $!"
  exec {fd}>"$work/$name.in"
  printf -v "${name}_fd" '%s' "$fd"
  for _ in $(seq 100); do
    [ -s "$work/$name.out" ] && break
    sleep 0.05
  done
  local id
  id=$(head -n 1 "$work/$name.out")
  [ -n "$id" ] || fail "no host window $name"
  printf -v "${name}_id" '%s' "$id"
}

# host_send NAME COMMAND: a command to the host window, waiting until it is carried out.
host_send() {
  local fdvar="${1}_fd" before
  before=$(grep -c '^done' "$work/$1.out" || true)
  echo "$2" >&"${!fdvar}"
  for _ in $(seq 100); do
    [ "$(grep -c '^done' "$work/$1.out" || true)" -gt "$before" ] && return 0
    sleep 0.05
  done
  fail "host window $1 did not carry out $2"
}

# The size of a file in bytes, 0 when it does not exist.
file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# Whether the last screenshot equals $1 everywhere outside the rectangle "X Y W H" ($2).
same_outside() {
  local x y w h
  read -r x y w h <<<"$2"
  local box="rectangle $x,$y $((x + w - 1)),$((y + h - 1))"
  convert "$1" -fill black -draw "$box" "$work/before_masked.png"
  convert "$work/shot.png" -fill black -draw "$box" "$work/after_masked.png"
  [ "$(compare -metric AE "$work/before_masked.png" "$work/after_masked.png" null: 2>&1)" = 0 ]
}

# Whether the last screenshot has white (headline) pixels inside the rectangle "X Y W H".
white_inside() {
  local x y w h
  read -r x y w h <<<"$1"
  [ "$(convert "$work/shot.png" -crop "${w}x${h}+${x}+${y}" -threshold 50% \
    -format '%[fx:mean>0.001]' info:)" = 1 ]
}

# Waits (up to 1 s, in 0.25 s steps) until the file $1 stops growing; fails with $2 otherwise.
wait_silent() {
  local last now
  last=$(file_size "$1")
  for _ in 1 2 3 4; do
    sleep 0.25
    now=$(file_size "$1")
    [ "$now" = "$last" ] && return 0
    last=$now
  done
  fail "$2"
}
