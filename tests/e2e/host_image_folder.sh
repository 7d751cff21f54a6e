#!/usr/bin/env bash
# End to end: the show as a hack (--root) with an empty picture list takes its pictures from the
# folder ~/.xscreensaver names in "imageDirectory:" (given with "~"), at any depth and in a file
# manager's order ("2" before "10"), on a 1024 × 768 X server.
# Usage: host_image_folder.sh <tavello binary>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
e2e_prepare host_image_folder_e2e
home="$work/home"
mkdir -p "$home/Photos/2024" "$XDG_CONFIG_HOME/tavello"
convert -size 640x480 xc:'#ff0000' "$home/Photos/2024/2.png"
convert -size 640x480 xc:'#0000ff' "$home/Photos/2024/10.png"
printf '%s\r\n' 1 "IPAGothic" 40 "100%" "" "E2E" 0 >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
printf 'mode:\t\tone\nimageDirectory:\t~/Photos\n' >"$home/.xscreensaver"

HOME="$home" "$tavello" --root &
pid=$!
wait_for "the folder's first picture" "193 145 255,0,0" "830 622 255,0,0" "190 384 0,0,0"
wait_for "its second picture" "193 145 0,0,255" "830 622 0,0,255"
