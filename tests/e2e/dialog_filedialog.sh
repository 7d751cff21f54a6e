#!/usr/bin/env bash
# End to end: "/C" on a 1024 × 768 X server. The 追加 button opens the real file dialog, a typed
# path and Enter add the picture to the list, clicking it shows it in the preview, the banner
# scrolls; the list's context menu adds a folder through the real folder dialog, and selecting it
# previews the folder's picture; OK writes both entries into the settings file and ends the
# program.
# Usage: dialog_filedialog.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
e2e_prepare dialog_e2e
mkdir -p "$XDG_CONFIG_HOME/tavello" "$work/pics"
settings="$XDG_CONFIG_HOME/tavello/TAVELLO.INI"

# A 4:3 magenta picture, upper-case extension: it fills the preview frame.
picture="$work/pics/Holiday Photo.JPG"
convert -size 400x300 xc:'#ff00ff' -quality 95 "$picture"
# A folder whose only picture, a 4:3 cyan one, lies one level down.
album="$work/album"
mkdir -p "$album/2024"
convert -size 400x300 xc:'#00ffff' -quality 95 "$album/2024/1.jpg"

# Visible top-level windows other than the settings dialog.
other_windows() {
  local w
  for w in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
    [ "$w" != "$dialog" ] && echo "$w"
  done
  return 0
}
# Clicks at a point given in the dialog's client coordinates (button $3, default the left one).
click() { xdotool mousemove $((left + $1)) $((top + $2)) click "${3:-1}"; }
# Waits (up to 10 s) for a window other than the dialog: a file or folder chooser.
wait_chooser() {
  chooser=""
  for _ in $(seq 100); do
    chooser=$(other_windows | head -n 1)
    [ -n "$chooser" ] && return 0
    sleep 0.1
  done
  return 1
}
# Types a path into the open chooser and confirms it with Enter; fails unless the chooser closes.
answer_chooser() {
  sleep 0.5
  xdotool type --delay 10 "$1"
  sleep 0.3
  xdotool key Return
  for attempt in $(seq 50); do
    [ -z "$(other_windows)" ] && return 0
    # A completion list may take the first Enter.
    [ "$attempt" = 10 ] && xdotool key Return
    sleep 0.1
  done
  fail "the chooser did not close after Enter on $1"
}

"$tavello" /C &
pid=$!

wait_window "TAVELLOの設定"
dialog=$win
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
wait_chooser || fail "no file dialog after clicking 追加"
echo "seen: file dialog"
answer_chooser "$picture"
echo "file dialog answered"

# The first list item (lstPic at client 8,184) shows the preview in Shape1 (client 264,288, 64 × 48).
click 60 193
magenta="255,0,255"
ok=0
for attempt in $(seq 50); do
  # On a loaded machine the first click can land before the list has taken the new item.
  case $attempt in 15 | 30) click 60 193 ;; esac
  shot
  if holds "$((left + 296)) $((top + 312)) $magenta" "$((left + 266)) $((top + 290)) $magenta" \
     "$((left + 325)) $((top + 333)) $magenta"; then ok=1; break; fi
  sleep 0.1
done
[ "$ok" = 1 ] || fail "preview not shown: centre $(pixels "$((left + 296)) $((top + 312))")"
echo "seen: preview"

# A right click on the list opens its menu; its second entry, フォルダを追加..., opens the folder
# dialog, which takes a typed folder. The menu is a popup without a name, so it is driven blind
# by the keyboard until the folder dialog shows.
click 60 193 3
for attempt in $(seq 5); do
  sleep 0.3
  xdotool key Down Down Return
  wait_chooser && break
  click 60 193 3
done
[ -n "$chooser" ] || fail "no folder dialog from the list's menu"
echo "seen: folder dialog"
answer_chooser "$album"
echo "folder dialog answered"

# The folder entry is the second item: Down from the first selects it, and the preview shows the
# folder's first picture (cyan) once the search in the background has found it.
click 60 193
xdotool key Down
cyan="0,255,255"
wait_for "folder preview" "$((left + 296)) $((top + 312)) $cyan" \
  "$((left + 266)) $((top + 290)) $cyan" "$((left + 325)) $((top + 333)) $cyan"

# OK (cmdOk, client 260,344, 53 × 21) writes the settings and ends the program.
click 286 354
wait_exit 5 "still running after OK" || fail "exit status $?"
[ -f "$settings" ] || fail "no settings file written"
lines=$(tr -d '\r' <"$settings" | wc -l)
last=$(tr -d '\r' <"$settings" | tail -n 1)
picture_line=$(tr -d '\r' <"$settings" | sed -n 8p)
[ "$lines" = 9 ] || fail "settings file has $lines lines, not 7 values, a picture and a folder"
[ "$picture_line" = "$picture" ] || fail "picture line is '$picture_line'"
[ "$last" = "$album/" ] || fail "folder line is '$last', not '$album/'"
echo "settings file holds the picture and the folder entry"
