#!/usr/bin/env bash
# Installs what the program needs (scripts/setup.sh build, then program), builds the program
# alone, and runs the show on the sample album with the sample music, using a throwaway settings
# folder so the user's own settings are never touched.
# With a display, the show runs on it until you move the mouse or press a key.
# Without one, it runs on a virtual 1024x768 display and saves screenshots to demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$(pwd)"
# Each step's output goes to a log, shown only when the step fails: a newcomer sees the demo's
# own lines.
logs="$(mktemp -d)"
settings_home=""
trap 'rm -rf "$logs" "$settings_home"' EXIT
failed_step() {
  echo "demo: $1 failed; its output:" >&2
  cat "$logs/$1.log" >&2
  exit 1
}

echo "demo: installing what the build needs (Debian packages; this takes a while the first time)"
bash scripts/setup.sh build >"$logs/install.log" 2>&1 || failed_step install
# What runs and shows the program is installed while it builds; only the show needs it.
echo "demo: building the program while what runs it installs"
bash scripts/setup.sh program >"$logs/install-program.log" 2>&1 &
setup_pid=$!
bash scripts/build.sh tavello >"$logs/build.log" 2>&1 || { wait "$setup_pid" || true; failed_step build; }
wait "$setup_pid" || failed_step install-program
echo "demo: built build/tavello"

settings_home="$(mktemp -d)"
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
# The program's and the virtual display's own messages go to the show's log.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  set -u
  log=$2
  "$0/build/tavello" /S 2>>"$log" &
  pid=$!
  shot() { sleep "$1"; import -window root "$2" 2>>"$log" && echo "demo: saved $2"; }
  shot 1.5 "$1/1-headline.png"
  for i in 2 3 4 5; do shot 3 "$1/$i-picture.png"; done
  xdotool mousemove_relative 1 1      # the slightest movement ends the show
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "demo: the show did not end on mouse movement"; kill "$pid"; exit 1; fi
  wait "$pid"
  echo "demo: the show ended on mouse movement"
' "$repo" "$out" "$logs/show.log" 2>>"$logs/show.log" || failed_step show
if [ -s "$out/music.raw" ]; then
  echo "demo: the music played into demo-output/music.raw ($(stat -c %s "$out/music.raw") bytes of PCM)"
fi
