#!/usr/bin/env bash
# End to end with the real xscreensaver daemon on a 1024 × 768 X server: with a ~/.xscreensaver
# that lists only TAVELLO (mode "one", the program with --root), "xscreensaver-command -activate"
# shows our headline and then our pictures; "-deactivate" leaves no TAVELLO process and no sound.
# xscreensaver refuses to run its hacks as root, so as root the test makes a throwaway user for
# the daemon (and skips, with exit status 77, where it cannot).
# Usage: host_xscreensaver.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
if ! command -v xscreensaver >/dev/null || ! command -v xscreensaver-command >/dev/null; then
  echo "SKIP: xscreensaver is not installed"
  exit 77
fi
e2e_under_xvfb

tavello=$1
e2e_prepare host_xscreensaver_e2e
. "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"

# The daemon's user: ourselves, or as root a throwaway one whose home lies in the work folder
# (xscreensaver will not run hacks as root).
user=$(id -un)
home="$work/home"
daemon=""
stop_daemon() {
  if [ -n "$daemon" ]; then as_user xscreensaver-command -exit >/dev/null 2>&1 || true; fi
  host_cleanup
}
trap stop_daemon EXIT
if [ "$(id -u)" -eq 0 ]; then host_make_user e2e; fi
mkdir -p "$home/bin" "$home/tmp" "$home/.config/tavello"
as_user() {
  # As MATE does, no XDG_CONFIG_HOME or XDG_RUNTIME_DIR: the settings come from ~/.config.
  local env=(env -u XDG_CONFIG_HOME -u XDG_RUNTIME_DIR HOME="$home" DISPLAY="$DISPLAY"
    XAUTHORITY="$home/.Xauthority" TMPDIR="$home/tmp" SDL_AUDIODRIVER=disk
    SDL_DISKAUDIOFILE="$home/audio.raw" PATH="$PATH")
  if [ -n "$made_user" ]; then runuser -u "$made_user" -- "${env[@]}" "$@"; else "${env[@]}" "$@"; fi
}

# The program, its pictures, song and settings, all where that user can read them.
cp "$tavello" "$home/bin/tavello"
convert -size 640x480 xc:'#ff0000' -quality 95 "$home/red.jpg"
convert -size 2000x500 xc:'#00ff00' "BMP3:$home/green.bmp"
sox -n -r 44100 -c 2 "$home/song.wav" synth 3 sine 440
printf '%s\r\n' 2 "IPAGothic" 40 "100%" "$home/song.wav" "E2E XSCREENSAVER" 0 \
  "$home/red.jpg" "$home/green.bmp" >"$home/.config/tavello/TAVELLO.INI"
cat >"$home/.xscreensaver" <<EOT
mode:		one
selected:	0
timeout:	1:00:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
programs:	"TAVELLO"  $home/bin/tavello --root \\n
EOT
if [ -n "$made_user" ]; then
  host_hand_over_home
else
  cp "${XAUTHORITY:-$HOME/.Xauthority}" "$home/.Xauthority" 2>/dev/null || touch "$home/.Xauthority"
fi

as_user xscreensaver -no-splash >"$work/xscreensaver.log" 2>&1 &
daemon=$!
for _ in $(seq 100); do
  as_user xscreensaver-command -version >/dev/null 2>&1 && break
  sleep 0.1
done
as_user xscreensaver-command -activate >/dev/null || fail "the daemon does not answer"

running() { pgrep -u "$user" -f "^$home/bin/tavello --root" >/dev/null; }
for _ in $(seq 100); do
  shot
  if [ "$(convert "$work/shot.png" -crop 1024x100+0+334 -threshold 50% \
    -format '%[fx:mean>0.002]' info:)" = 1 ] && holds "5 5 0,0,0" "1018 762 0,0,0"; then
    break
  fi
  sleep 0.1
done
running || { cat "$work/xscreensaver.log" >&2; fail "xscreensaver did not start TAVELLO"; }
holds "5 5 0,0,0" || fail "no headline on the screen"
echo "seen: our headline"

black="0,0,0"
for _ in $(seq 120); do
  shot
  holds "193 145 255,0,0" "830 622 255,0,0" "190 384 $black" "834 384 $black" && break
  sleep 0.1
done
holds "193 145 255,0,0" "830 622 255,0,0" "190 384 $black" "834 384 $black" ||
  fail "our picture not seen"
echo "seen: red 640x480 at 192,144"
heard=$(file_size "$home/audio.raw")
sound_goes_on() { [ "$(file_size "$home/audio.raw")" -gt "$heard" ]; }
wait_until 5 "no sound during the show" sound_goes_on

as_user xscreensaver-command -deactivate >/dev/null
for _ in $(seq 40); do
  running || break
  sleep 0.05
done
running && fail "TAVELLO still runs after -deactivate"
last=$(file_size "$home/audio.raw")
# No process of ours is left, yet only time shows that nothing else goes on writing the sound.
sleep 0.5
[ "$(file_size "$home/audio.raw")" = "$last" ] || fail "the sound goes on after -deactivate"
echo "deactivated: no TAVELLO process, no sound"
