#!/usr/bin/env bash
# The real show ("tavello /S" under Xvfb, 1920 × 1080) and its loader processes, from outside:
#
#   bench/loader-show.sh [--smoke] [build-folder]      (default: build)
#
#   formats  the 24-megapixel photo of each format (picture_bench make-formats) alone in a folder,
#            Speed 1: the show's peak resident memory (VmHWM; target < 150 MB) and its decoding
#            loader's (target < 300 MB), read from /proc while they run.
#   hostile  each hostile file of the picture tests' corpus (corpus_probe) first in a folder
#            before a good photo: the peak of the whole tree (VmHWM of the show and its loaders
#            added up, sampled every 50 ms) and the time from a key to the show's exit.
#
# --smoke uses 2400 × 1600 photos, runs a show for about two seconds over the JPEG and two hostile
# files only, and only proves the benchmark runs. Prints one RESULT line per figure; judges nothing (exit 2 when it cannot run).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
smoke=""
build=$root/build
for arg in "$@"; do
    case $arg in
        --smoke) smoke=--smoke ;;
        *) build=$arg ;;
    esac
done
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
binary=$build/tavello
corpus=$build/tests/e2e/corpus_probe
for tool in "$binary" "$corpus" "$build/bench/picture_bench"; do
    [ -x "$tool" ] || { echo "loader-show: $tool is not built" >&2; exit 2; }
done

fail() { echo "loader-show: $*" >&2; exit 2; }
. "$root/tests/e2e/common.sh"
E2E_SCREEN=1920x1080x24 e2e_under_xvfb
e2e_prepare loader_show
mkdir -p "$XDG_CONFIG_HOME/tavello" "$work/photos"
export QT_QPA_PLATFORM=xcb
target() { [ -n "$smoke" ] && echo "(smoke run)" || echo "$1"; }
# How long each show runs before it is measured and ended.
run_s=$([ -n "$smoke" ] && echo 2 || echo 6)

"$build/bench/picture_bench" make-formats "$work/photos" $smoke >/dev/null ||
    fail "the photos could not be made"

hwm_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null || true; }

# Runs the show over the folder $1 for run_s seconds, sampling every 50 ms; sets show_kb (the
# show's peak), loader_kb (the highest loader's peak) and tree_kb (the highest sum of both), then
# ends it with a key and sets exit_ms.
measure_show() {
    printf '%s\r\n' 1 "IPAGothic" 40 "画面の大きさに調整" "" "BENCH" 0 "$1/" \
        >"$XDG_CONFIG_HOME/tavello/TAVELLO.INI"
    "$binary" /S &
    pid=$!
    show_kb=0 loader_kb=0 tree_kb=0
    local end=$(($(date +%s%N) + run_s * 1000000000)) sum kb p
    while [ "$(date +%s%N)" -lt "$end" ]; do
        kill -0 "$pid" 2>/dev/null || fail "the show over $1 ended by itself"
        kb=$(hwm_kb "$pid")
        sum=${kb:-0}
        [ "${kb:-0}" -gt "$show_kb" ] && show_kb=$kb
        for p in $(pgrep -P "$pid" -f -- '--picture-loader' || true); do
            kb=$(hwm_kb "$p")
            sum=$((sum + ${kb:-0}))
            [ "${kb:-0}" -gt "$loader_kb" ] && loader_kb=$kb
        done
        [ "$sum" -gt "$tree_kb" ] && tree_kb=$sum
        sleep 0.05
    done
    local start
    start=$(date +%s%N)
    xdotool key space
    while kill -0 "$pid" 2>/dev/null; do sleep 0.005; done
    exit_ms=$((($(date +%s%N) - start) / 1000000))
    wait "$pid" 2>/dev/null || true
    pid=""
}

result() { printf 'RESULT %-28s %10.2f %s\n' "$1" "$2" "$3"; }
mb() { awk -v kb="$1" 'BEGIN { printf "%.2f", kb / 1024 }'; }

echo "-- each format's photo alone in a folder, Speed 1"
photos=("$work"/photos/photo.*)
[ -n "$smoke" ] && photos=("$work/photos/photo.jpg")
for photo in "${photos[@]}"; do
    format=${photo##*.}
    mkdir -p "$work/$format"
    cp "$photo" "$work/$format/"
    measure_show "$work/$format"
    result "show_${format}_peak_mb" "$(mb "$show_kb")" "MB $(target "(target < 150)")"
    result "loader_${format}_peak_mb" "$(mb "$loader_kb")" "MB $(target "(target < 300)")"
done

echo "-- each hostile file first in a folder, before the JPEG photo"
hostile=(huge-progressive.jpg repeated-scan.jpg bulky-text.png lying-size.heic lying-size.avif
    truncated.jpg zero-byte.jpg)
[ -n "$smoke" ] && hostile=(huge-progressive.jpg zero-byte.jpg)
for name in "${hostile[@]}"; do
    folder="$work/hostile-$name"
    mkdir -p "$folder"
    "$corpus" "$folder" "$name" || fail "corpus_probe could not write $name"
    mv "$folder/$name" "$folder/1-$name"
    cp "$work/photos/photo.jpg" "$folder/2-photo.jpg"
    measure_show "$folder"
    key=${name//[-.]/_}
    result "tree_${key}_peak_mb" "$(mb "$tree_kb")" "MB (show and loaders)"
    result "key_exit_${key}_ms" "$exit_ms" "ms"
done
exit 0
