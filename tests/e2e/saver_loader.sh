#!/usr/bin/env bash
# End to end: "/S" decodes its pictures in a confined loader process, a child of the show.
#   - The loader runs under seccomp's filter mode with no new privileges.
#   - Loaders killed by SIGSEGV while the show runs: fresh ones take over, further pictures come
#     up, the show lives on and a key still ends it.
#   - Each hostile file (corpus_probe's) first in a folder before a good picture: the good picture
#     comes up and a key ends the show.
#   - A key while the loader decodes a slow picture ends the show: the keyboard is free after it,
#     and the next "/S" runs.
# Usage: saver_loader.sh <tavello binary> <corpus probe> <desk probe>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_under_xvfb

tavello=$1
corpus=$2
desk=$3
e2e_prepare saver_loader_e2e
mkdir -p "$XDG_CONFIG_HOME/tavello"

# Speed 1, pictures fitted to the screen, one folder entry.
show_folder() {
  printf '%s\r\n' 1 "IPAGothic" 40 "画面の大きさに調整" "" "E2E LOADER" 0 "$1/" \
    >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
  "$tavello" /S &
  pid=$!
}

# The show's decoding loader: its child started as the loader without a folder to list.
decode_loader() {
  local p
  for p in $(pgrep -P "$pid" -f -- '--picture-loader' || true); do
    [ "$(tr '\0' '\n' <"/proc/$p/cmdline" 2>/dev/null | wc -l)" -eq 4 ] && echo "$p"
  done
  return 0
}

has_loader() { [ -n "$(decode_loader)" ]; }

# Kills each new decoding loader with SIGSEGV; true once $1 of them were killed.
killed=()
kill_loaders() {
  local p
  p=$(decode_loader)
  if [ -n "$p" ] && [[ " ${killed[*]-} " != *" $p "* ]]; then
    kill -SEGV "$p" 2>/dev/null && killed+=("$p")
  fi
  [ "${#killed[@]}" -ge "$1" ]
}

# Processor ticks the process has used.
ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  read -r -a fields <<<"${stat##*) }"
  echo $((fields[11] + fields[12]))
}

# True while the loader $1 works: its ticks grew since the last call, and it has decoded a while.
last_ticks=0
busy() {
  local now
  now=$(ticks "$1") || return 1
  local grew=$((now - last_ticks))
  last_ticks=$now
  [ "$grew" -gt 2 ] && [ "$now" -gt 40 ]
}

end_by_key() {
  xdotool key space
  wait_exit 2 "still running two seconds after a key ($1)" || fail "exit status $? ($1)"
  pid=""
}

# Waits for a picture of colour $2 fitted to the screen: the centre and both sides in it.
wait_colour() { wait_for "$1" "512 384 $2" "5 384 $2" "1018 384 $2"; }

# Four distinct colours, large enough that decoding them takes a moment.
colours=(255,0,0 0,255,0 0,0,255 255,255,0)
mkdir -p "$work/colours"
for i in "${!colours[@]}"; do
  convert -size 2048x1536 "xc:rgb(${colours[i]})" -quality 90 "$work/colours/$i.jpg"
done

show_folder "$work/colours"
wait_colour "the first picture" "${colours[0]}"

loader=$(decode_loader)
[ -n "$loader" ] || fail "no decoding loader among the show's children"
grep -qx $'Seccomp:\t2' "/proc/$loader/status" || fail "the loader is not under a seccomp filter"
grep -qx $'NoNewPrivs:\t1' "/proc/$loader/status" || fail "the loader may gain privileges"
echo "seen: loader $loader confined"

wait_until 30 "the show started no fresh loader after one was killed" kill_loaders 4
echo "killed loaders: ${killed[*]}"
for i in "${!colours[@]}"; do
  wait_colour "colour $i after the loaders' deaths" "${colours[i]}"
done
end_by_key "after the loaders' deaths"

# Hostile files, each first in its folder before a green picture.
hostile=(huge-progressive.jpg repeated-scan.jpg bulky-text.png lying-size.heic lying-size.avif
  truncated.jpg zero-byte.jpg)
green=0,255,0
for name in "${hostile[@]}"; do
  folder="$work/hostile-$name"
  mkdir -p "$folder"
  "$corpus" "$folder" "$name" || fail "corpus_probe could not write $name"
  mv "$folder/$name" "$folder/1-$name"
  convert -size 320x240 "xc:rgb($green)" "$folder/2-good.png"
  show_folder "$folder"
  wait_colour "the good picture after $name" "$green"
  end_by_key "after $name"
done

# A key while the loader decodes.
mkdir -p "$work/slow"
"$corpus" "$work/slow" slow-scans.jpg || fail "corpus_probe could not write slow-scans.jpg"
show_folder "$work/slow"
wait_until 10 "no decoding loader" has_loader
loader=$(decode_loader)
wait_until 20 "the loader never got busy decoding" busy "$loader"
echo "seen: loader $loader decoding"
end_by_key "during a decode"
[ "$("$desk" grabs)" = "keyboard free pointer free" ] || fail "input still held after the show"
show_folder "$work/colours"
wait_colour "the next show's first picture" "${colours[0]}"
end_by_key "the next show"
echo "ok"
