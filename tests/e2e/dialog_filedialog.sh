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

# Our visible windows other than the settings dialog: file and folder choosers, and popups
# (menus, completion lists), which have no name, hence the search by class.
other_windows() {
  local w
  for w in $(xdotool search --onlyvisible --class "." 2>/dev/null); do
    [ "$w" != "$dialog" ] && echo "$w"
  done
  return 0
}
no_other_window() { [ -z "$(other_windows)" ]; }
some_other_window() { [ -n "$(other_windows)" ]; }
# Clicks at a point given in the dialog's client coordinates (button $3, default the left one).
click() { xdotool mousemove $((left + $1)) $((top + $2)) click "${3:-1}"; }
# Whether a chooser is up and holds the keyboard (keys typed before that are lost); sets chooser.
chooser_focused() {
  chooser=$(xdotool getwindowfocus -f 2>/dev/null) || return 1
  other_windows | grep -qx "$chooser"
}
# Types a path into the chooser and confirms it with Enter; fails unless the chooser closes, with
# the completion list it may have opened: that list, up, would take the next click for itself.
answer_chooser() {
  xdotool type --delay 10 "$1"
  xdotool key Return
  wait_until 5 "the chooser did not close after Enter on $1" no_other_window
}

"$tavello" /C &
pid=$!

wait_window "TAVELLOの設定"
dialog=$win
wait_drawn "$dialog"
read -r left top < <(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
echo "seen: settings dialog at $left,$top"

# The banner (Picture1, client 8,288 to 210,333) moves: a later screenshot differs.
banner() {
  shot
  convert "$work/shot.png" -crop 200x43+$((left + 9))+$((top + 289)) "$work/$1"
}
banner_moved() {
  banner banner2.png
  [ "$(compare -metric AE "$work/banner1.png" "$work/banner2.png" null: 2>&1 || true)" != 0 ]
}
banner banner1.png
wait_until 5 "the banner does not scroll" banner_moved
echo "seen: banner scrolling"

# 追加 (btnPic, client 336,184, 37 × 17) opens the file dialog.
click 354 192
wait_until 10 "no file dialog after clicking 追加" chooser_focused
echo "seen: file dialog"
answer_chooser "$picture"
echo "file dialog answered"

# The first list item (lstPic at client 8,184) shows the preview in Shape1 (client 264,288, 64 × 48).
click 60 193
magenta="255,0,255"
wait_for "preview" "$((left + 296)) $((top + 312)) $magenta" \
  "$((left + 266)) $((top + 290)) $magenta" "$((left + 325)) $((top + 333)) $magenta"

# A right click on the list opens its menu; its second entry, フォルダを追加..., opens the folder
# dialog, which takes a typed folder. The menu is driven by the keyboard once it is up.
click 60 193 3
wait_until 10 "no menu on a right click on the list" some_other_window
xdotool key Down Down Return
wait_until 10 "no folder dialog from the list's menu" chooser_focused
[ "$(xdotool getwindowname "$chooser")" = "フォルダを追加" ] ||
  fail "the menu opened '$(xdotool getwindowname "$chooser")', not the folder dialog"
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
