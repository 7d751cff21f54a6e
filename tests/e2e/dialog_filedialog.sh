#!/usr/bin/env bash
# End to end: "/C" on a 1024 × 768 X server. The 追加 button opens the real file dialog, a typed
# path and Enter add the picture to the list, clicking it shows it in the preview, the banner
# scrolls, and OK writes the picture into the settings file and ends the program.
# Usage: dialog_filedialog.sh <tavello binary>
set -euo pipefail

if [ -z "${DIALOG_E2E_INNER:-}" ]; then
  export DIALOG_E2E_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

tavello=$1
work=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME/tavello" "$XDG_RUNTIME_DIR" "$work/pics"
chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

fail() { echo "FAIL: $*" >&2; [ -f "$work/shot.png" ] && cp "$work/shot.png" "${TMPDIR:-/tmp}/dialog_e2e_last.png"; exit 1; }

# A 4:3 magenta picture, upper-case extension: it fills the preview frame.
picture="$work/pics/Holiday Photo.JPG"
convert -size 400x300 xc:'#ff00ff' -quality 95 "$picture"

shot() { import -window root "$work/shot.png"; }
pixel() { convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r+.5)] %[fx:int(255*p{$1,$2}.g+.5)] %[fx:int(255*p{$1,$2}.b+.5)]" info:; }
near() {
  local got want
  read -r -a got <<<"$(pixel "$1" "$2")"
  read -r -a want <<<"$3"
  for i in 0 1 2; do
    local d=$((got[i] - want[i]))
    [ "${d#-}" -le 24 ] || return 1
  done
}
# The visible top-level window whose name is exactly $1, or nothing.
window_named() {
  local w
  for w in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { echo "$w"; return 0; }
  done
  return 0
}
# Visible top-level windows other than the settings dialog.
other_windows() {
  local w
  for w in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
    [ "$w" != "$dialog" ] && echo "$w"
  done
  return 0
}
# Clicks at a point given in the dialog's client coordinates.
click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; }

"$tavello" /C &
pid=$!

dialog=""
for _ in $(seq 100); do
  dialog=$(window_named "TAVELLOの設定")
  [ -n "$dialog" ] && break
  kill -0 "$pid" 2>/dev/null || fail "program ended before the dialog showed"
  sleep 0.1
done
[ -n "$dialog" ] || fail "the settings dialog did not show"
read -r left top < <(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
echo "seen: settings dialog at $left,$top"

# The banner (Picture1, client 8,288 to 210,333) moves between two screenshots.
shot
convert "$work/shot.png" -crop 200x43+$((left + 9))+$((top + 289)) "$work/banner1.png"
sleep 0.5
shot
convert "$work/shot.png" -crop 200x43+$((left + 9))+$((top + 289)) "$work/banner2.png"
[ "$(compare -metric AE "$work/banner1.png" "$work/banner2.png" null: 2>&1 || true)" != 0 ] ||
  fail "the banner does not scroll"
echo "seen: banner scrolling"

# 追加 (btnPic, client 336,184, 37 × 17) opens the file dialog.
click 354 192
chooser=""
for _ in $(seq 100); do
  chooser=$(other_windows | head -n 1)
  [ -n "$chooser" ] && break
  sleep 0.1
done
[ -n "$chooser" ] || fail "no file dialog after clicking 追加"
echo "seen: file dialog"
sleep 0.5
xdotool type --delay 10 "$picture"
sleep 0.3
xdotool key Return
for attempt in $(seq 50); do
  [ -z "$(other_windows)" ] && break
  # A completion list may take the first Enter.
  [ "$attempt" = 10 ] && xdotool key Return
  sleep 0.1
done
[ -z "$(other_windows)" ] || fail "the file dialog did not close after Enter"
echo "file dialog answered"

# The first list item (lstPic at client 8,184) shows the preview in Shape1 (client 264,288, 64 × 48).
click 60 193
magenta="255 0 255"
ok=0
for _ in $(seq 50); do
  shot
  if near $((left + 296)) $((top + 312)) "$magenta" && near $((left + 266)) $((top + 290)) "$magenta" &&
     near $((left + 325)) $((top + 333)) "$magenta"; then ok=1; break; fi
  sleep 0.1
done
[ "$ok" = 1 ] || fail "preview not shown: centre $(pixel $((left + 296)) $((top + 312)))"
echo "seen: preview"

# OK (cmdOk, client 260,344, 53 × 21) writes the settings and ends the program.
click 286 354
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then fail "still running after OK"; fi
wait "$pid" || fail "exit status $?"
[ -f "$settings" ] || fail "no settings file written"
lines=$(tr -d '\r' <"$settings" | wc -l)
last=$(tr -d '\r' <"$settings" | tail -n 1)
[ "$lines" = 8 ] || fail "settings file has $lines lines, not 7 values and one picture"
[ "$last" = "$picture" ] || fail "picture line is '$last'"
echo "settings file holds the picture"
