#!/usr/bin/env bash
# Installs what the program needs (scripts/setup.sh build, then program), builds the program
# alone, and runs the show on the sample album with the sample music, using a throwaway settings
# folder so the user's own settings are never touched.
# With a display, the show runs on it until you move the mouse or press a key.
# Without one, it runs on a virtual 1024x768 display and saves screenshots to demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$(pwd)"
bash scripts/setup.sh build
# What runs and shows the program is installed while it builds; only the show needs it. Its log
# is shown when it fails.
setup_log="$(mktemp)"
bash scripts/setup.sh program >"$setup_log" 2>&1 &
setup_pid=$!
build_status=0
bash scripts/build.sh tavello || build_status=$?
setup_status=0
wait "$setup_pid" || setup_status=$?
if [ "$setup_status" -ne 0 ]; then cat "$setup_log" >&2; else head -n 1 "$setup_log"; fi
rm -f "$setup_log"
[ "$build_status" -eq 0 ] && [ "$setup_status" -eq 0 ] || exit 1

settings_home="$(mktemp -d)"
trap 'rm -rf "$settings_home"' EXIT
export XDG_CONFIG_HOME="$settings_home"
mkdir -p "$settings_home/tavello"
{
  printf '3\r\n'                          # seconds per picture
  printf 'ＭＳ Ｐゴシック\r\n'            # headline font (falls back to an installed Japanese font)
  printf '48\r\n'                         # headline size
  printf '画面の大きさに調整\r\n'         # fit every picture to the screen
  printf '%s\r\n' "$repo/samples/music/sample.wav"
  printf 'TAVELLO サンプルアルバム\r\n'   # headline
  printf '0\r\n'                          # list order
  for p in "$repo"/samples/album/*; do printf '%s\r\n' "$p"; done
} > "$settings_home/tavello/TAVELLO.INI"

if [ -n "${DISPLAY:-}" ]; then
  echo "demo: the show starts now; move the mouse or press a key to end it."
  exec "$repo/build/tavello" /S
fi

out="$repo/demo-output"
rm -rf "$out"
mkdir -p "$out"
echo "demo: no display here, so the show runs on a virtual one; screenshots go to demo-output/."
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/music.raw"
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  set -u
  "$0/build/tavello" /S &
  pid=$!
  shot() { sleep "$1"; import -window root "$2" 2>/dev/null && echo "demo: saved $2"; }
  shot 1.5 "$1/1-headline.png"
  for i in 2 3 4 5; do shot 3 "$1/$i-picture.png"; done
  xdotool mousemove_relative 1 1      # the slightest movement ends the show
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "demo: the show did not end on mouse movement"; kill "$pid"; exit 1; fi
  wait "$pid"
  echo "demo: the show ended on mouse movement"
' "$repo" "$out"
if [ -s "$out/music.raw" ]; then
  echo "demo: the music played into demo-output/music.raw ($(stat -c %s "$out/music.raw") bytes of PCM)"
fi
