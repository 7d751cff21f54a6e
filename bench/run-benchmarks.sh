#!/bin/sh
# Runs every benchmark and prints one RESULT line per figure.
#
#   bench/run-benchmarks.sh [--short|--smoke] [build-folder]      (default: build)
#
# --short runs fewer rounds and picture changes (the soak runs 1,000 changes, not 10,000). The
# exit status is 0 when every target is met, 1 when one is missed and 2 when a benchmark could not
# run.
#
# --smoke runs every benchmark once at its smallest size, in seconds, only to prove that each still
# runs (scripts/test.sh does this after the tests): its figures judge nothing, and the exit status
# is 0 when every benchmark ran, 2 when one could not.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
length=""
smoke=""
build=$root/build
for arg in "$@"; do
    case $arg in
        --short) length=--short ;;
        --smoke) length=--smoke smoke=--smoke ;;
        *) build=$arg ;;
    esac
done
bench=$build/bench/picture_bench
[ -x "$bench" ] || { echo "run-benchmarks: build the picture_bench target first ($bench)" >&2; exit 2; }

status=0
# Keeps the worst exit status; in the smoke mode any failure means the benchmark could not run.
note() {
    code=$1
    [ -n "$smoke" ] && [ "$code" -ne 0 ] && code=2
    [ "$code" -gt "$status" ] && status=$code
}

[ -n "$smoke" ] && echo "smoke run: each benchmark once at its smallest size, to prove it runs; its figures judge nothing"
echo "== picture decode and put-up (6000x4000 JPEG fitted to 1920x1080)"
if command -v xvfb-run >/dev/null 2>&1; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$bench" decode $length
else
    "$bench" decode $length
fi
note $?

echo "== peak memory over picture changes of 24-megapixel JPEGs"
"$bench" memory $length
note $?

echo "== a 24-megapixel still WebP fitted to the screen: peak memory against dwebp -scale"
"$bench" webp $smoke
note $?

echo "== a 24-megapixel picture of each format fitted to the screen: time and peak memory against its reference decoder"
"$bench" formats $smoke
note $?

echo "== the same photos through the show's loader process: time per change against in-process and the reference decoder, peak memory of both sides"
"$bench" loader $smoke
note $?

echo "== the real show and its loaders: each format's photo (peaks of show and loader), hostile files first in a folder (tree peak, key to exit)"
"$root/bench/loader-show.sh" $smoke "$build"
note $?

echo "== settings dialog: first paint with 1000 pictures, preview against djpeg, banner processor use"
if [ -x "$build/bench/dialog_bench" ]; then
    if command -v xvfb-run >/dev/null 2>&1; then
        QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$build/bench/dialog_bench" all $length
    else
        "$build/bench/dialog_bench" all $length
    fi
    note $?
else
    echo "run-benchmarks: dialog_bench is not built" >&2
    note 2
fi

if [ -x "$build/bench/show_bench" ]; then
    echo "== soak: picture changes at Speed 0; memory, file descriptors and threads at start, middle, end"
    # It exits non-zero only when the show could not run its changes.
    "$build/bench/show_bench" soak $length || note 2
    echo "== a headline of 10 million characters: time to put it up, against a one-word headline"
    "$build/bench/show_bench" headline $smoke
    note $?
else
    echo "run-benchmarks: show_bench is not built" >&2
    note 2
fi

echo "== adding TAVELLO to a ~/.xscreensaver list of 100,000 stored lines, against 10,000"
if [ -x "$build/bench/xscreensaver_bench" ]; then
    "$build/bench/xscreensaver_bench" $smoke
    note $?
else
    echo "run-benchmarks: xscreensaver_bench is not built" >&2
    note 2
fi

echo "== a library of 100,000 pictures: listing it against find | sort -V, its paths' memory, the show over it"
if [ -x "$build/bench/folder_bench" ]; then
    "$build/bench/folder_bench" scan $length
    note $?
    "$build/bench/folder_bench" show $length
    note $?
    echo "== a chain of folders 20,000 deep and 20 entries of one folder, listed here and in loader processes"
    "$build/bench/folder_bench" deep $length
    note $?
else
    echo "run-benchmarks: folder_bench is not built" >&2
    note 2
fi

echo "== processor use of the running show over a 10-second interval"
"$root/bench/show-cpu.sh" $smoke "$build"
note $?

echo "== the show as a screen-saver hack: launch to the headline, processor use, peak memory, a huge host window"
if [ -x "$build/bench/host_bench" ] && command -v xvfb-run >/dev/null 2>&1; then
    for what in launch cpu memory huge; do
        QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
            "$build/bench/host_bench" "$what" "$build/tavello" $length
        note $?
    done
else
    echo "run-benchmarks: host_bench is not built, or xvfb-run is missing" >&2
    note 2
fi

echo "== the show on three monitors against one (a real X server on the dummy driver)"
if [ "$(id -u)" -eq 0 ] && command -v Xorg >/dev/null 2>&1; then
    "$root/bench/desk-cpu.sh" $smoke "$build"
    note $?
else
    echo "run-benchmarks: skipped, the X server needs root"
fi

[ -n "$smoke" ] && [ "$status" -eq 0 ] && echo "run-benchmarks: every benchmark ran (smoke run, no figure judged)"
exit $status
