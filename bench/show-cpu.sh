#!/usr/bin/env bash
# Processor use of the running show over one 10-second picture interval, against the wall time of
# that interval (target: at most 1 % of one core).
#
#   bench/show-cpu.sh [--monitors N] [--smoke] [build-folder]      (default: build)
#
# Runs "tavello /S" with its own settings folder (Speed 10, one picture, no music), lets the
# headline pass and the first picture come up, then reads the process's user and system time from
# /proc/<pid>/stat at the start and the end of a 10-second window.
#
# Without --monitors the show runs under Xvfb. With --monitors N it runs on a real X server (the
# dummy video driver, needs root) whose screen is split into N monitors of 1024 × 768 side by side,
# and a second show then measures the cost of one picture change: Speed 0.5, four album pictures
# fitted to the screen, processor time over 40 changes divided by 40. bench/desk-cpu.sh compares
# those figures for one and three monitors.
#
# --smoke lets each show run for a second or less and measures it over half a second or less, only
# to prove the benchmark runs; it judges no target.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
monitors=""
smoke=""
build=$root/build
while [ $# -gt 0 ]; do
    case $1 in
        --monitors) monitors=$2; shift 2 ;;
        --smoke) smoke=1; shift ;;
        *) build=$1; shift ;;
    esac
done
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
binary=$build/tavello
[ -x "$binary" ] || { echo "show-cpu: no program at $binary" >&2; exit 2; }

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    if declare -F xorg_dummy_stop >/dev/null; then xorg_dummy_stop; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

mkdir -p "$work/tavello" "$work/runtime"
chmod 700 "$work/runtime"
album=$root/samples/album
export XDG_CONFIG_HOME=$work XDG_RUNTIME_DIR=$work/runtime SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb

# Speed, headline font, headline size, picture size, music, headline, random order, pictures.
write_settings() {
    local speed=$1; shift
    printf '%s\r\nIPAPGothic\r\n48\r\n画面の大きさに調整\r\n\r\nTAVELLO\r\n0\r\n' "$speed" \
        > "$work/tavello/TAVELLO.INI"
    printf '%s\r\n' "$@" >> "$work/tavello/TAVELLO.INI"
}

# The interval show's Speed, how long it runs before the measurement (the headline stands for one
# interval, then the first picture comes up) and how many seconds are measured; the same for the
# picture changes of the monitors' second show.
if [ -n "$smoke" ]; then
    interval="1 1 0.3" changes="0.5 0.5 0.5"
else
    interval="10 12 10" changes="0.5 2.5 20"
fi
read -r speed settle seconds <<<"$interval"
read -r change_speed change_settle change_seconds <<<"$changes"

ticks=$(getconf CLK_TCK)
cpu_ticks() { sed 's/.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }'; }
now_ns() { date +%s%N; }

# Lets the show run $1 seconds, then measures it over $2 seconds; prints "cpu_ms wall_ms".
measure() {
    sleep "$1"
    [ -r "/proc/$pid/stat" ] || { echo "show-cpu: the show ended early" >&2; exit 2; }
    local start_cpu start_ns end_cpu end_ns
    start_cpu=$(cpu_ticks); start_ns=$(now_ns)
    sleep "$2"
    [ -r "/proc/$pid/stat" ] || { echo "show-cpu: the show ended during the measurement" >&2; exit 2; }
    end_cpu=$(cpu_ticks); end_ns=$(now_ns)
    awk -v c="$((end_cpu - start_cpu))" -v t="$ticks" -v w="$((end_ns - start_ns))" \
        'BEGIN { printf "%.2f %.2f\n", c * 1000 / t, w / 1e6 }'
}

if [ -z "$monitors" ]; then
    write_settings "$speed" "$album/01-dusk-1600x1200.jpg"
    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
        sh -c '"$0" /S & echo $! > "$1"; wait' "$binary" "$work/pid" &
    for _ in $(seq 100); do [ -s "$work/pid" ] && break; sleep 0.1; done
    pid=$(cat "$work/pid" 2>/dev/null || true)
    [ -n "$pid" ] || { echo "show-cpu: the show did not start" >&2; exit 2; }
    result=$(measure "$settle" "$seconds") || exit 2
    read -r cpu_ms wall_ms <<<"$result"
    suffix=""
else
    [ "$(id -u)" -eq 0 ] || { echo "show-cpu: --monitors needs root for the X server" >&2; exit 2; }
    . "$root/tests/e2e/xorg_dummy.sh"
    xorg_dummy_start $((1024 * monitors)) 768 || exit 2
    split=()
    for i in $(seq 0 $((monitors - 1))); do split+=("M$i" 1024 $((1024 * i))); done
    xorg_dummy_monitors "${split[@]}" || exit 2
    start_show() {
        "$binary" /S &
        pid=$!
    }
    write_settings "$speed" "$album/01-dusk-1600x1200.jpg"
    start_show
    result=$(measure "$settle" "$seconds") || exit 2
    read -r cpu_ms wall_ms <<<"$result"
    kill "$pid"; wait "$pid" 2>/dev/null || true

    write_settings "$change_speed" "$album"/0[1-3]*.jpg "$album/04-night-360x240.bmp"
    start_show
    result=$(measure "$change_settle" "$change_seconds") || exit 2
    read -r change_cpu_ms change_wall_ms <<<"$result"
    kill "$pid"; wait "$pid" 2>/dev/null || true
    pid=""
    suffix="_${monitors}mon"
    awk -v c="$change_cpu_ms" -v w="$change_wall_ms" -v s="$suffix" -v p="$change_speed" 'BEGIN {
        n = w / (1000 * p)
        printf "RESULT %-28s %10.2f ms per change (%.0f changes)\n", "picture_change_cpu" s, c / n, n
    }'
fi

awk -v c="$cpu_ms" -v w="$wall_ms" -v s="$suffix" -v smoke="$smoke" 'BEGIN {
    share = 100 * c / w
    printf "RESULT %-28s %10.2f ms\n", "show_cpu_time_ms" s, c
    printf "RESULT %-28s %10.2f ms\n", "show_wall_time_ms" s, w
    target = (smoke != "") ? "(smoke run)" : "(target <= 1)"
    printf "RESULT %-28s %10.2f %% of one core %s\n", "show_cpu_share" s, share, target
    exit (share <= 1.0 || smoke != "") ? 0 : 1
}'
