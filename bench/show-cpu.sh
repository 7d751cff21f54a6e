#!/bin/sh
# Processor use of the running show over one 10-second picture interval, against the wall time of
# that interval (target: at most 1 % of one core).
#
#   bench/show-cpu.sh [build-folder]      (default: build)
#
# Runs "tavello /S" under Xvfb with its own settings folder (Speed 10, one picture, no music), lets
# the headline pass and the first picture come up, then reads the process's user and system time
# from /proc/<pid>/stat at the start and the end of a 10-second window.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
binary=$build/tavello
[ -x "$binary" ] || { echo "show-cpu: no program at $binary" >&2; exit 2; }

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

mkdir -p "$work/tavello" "$work/runtime"
chmod 700 "$work/runtime"
picture=$root/samples/album/01-dusk-1600x1200.jpg
# Speed, headline font, headline size, picture size, music, headline, random order, pictures.
printf '10\r\nIPAPGothic\r\n48\r\n画面の大きさに調整\r\n\r\nTAVELLO\r\n0\r\n%s\r\n' "$picture" \
    > "$work/tavello/TAVELLO.INI"

XDG_CONFIG_HOME=$work XDG_RUNTIME_DIR=$work/runtime SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    sh -c '"$0" /S & echo $! > "$1"; wait' "$binary" "$work/pid" &

for _ in $(seq 100); do [ -s "$work/pid" ] && break; sleep 0.1; done
pid=$(cat "$work/pid" 2>/dev/null || true)
[ -n "$pid" ] || { echo "show-cpu: the show did not start" >&2; exit 2; }

ticks=$(getconf CLK_TCK)
cpu_ticks() { sed 's/.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }'; }
now_ns() { date +%s%N; }

# The headline stands for 10 seconds, then the first picture comes up.
sleep 12
[ -r "/proc/$pid/stat" ] || { echo "show-cpu: the show ended early" >&2; exit 2; }
start_cpu=$(cpu_ticks); start_ns=$(now_ns)
sleep 10
[ -r "/proc/$pid/stat" ] || { echo "show-cpu: the show ended during the measurement" >&2; exit 2; }
end_cpu=$(cpu_ticks); end_ns=$(now_ns)

awk -v c="$((end_cpu - start_cpu))" -v t="$ticks" -v w="$((end_ns - start_ns))" 'BEGIN {
    cpu_ms = c * 1000 / t; wall_ms = w / 1e6; share = 100 * cpu_ms / wall_ms
    printf "RESULT %-28s %10.2f ms\n", "show_cpu_time_ms", cpu_ms
    printf "RESULT %-28s %10.2f ms\n", "show_wall_time_ms", wall_ms
    printf "RESULT %-28s %10.2f %% of one core (target <= 1)\n", "show_cpu_share", share
    exit (share <= 1.0) ? 0 : 1
}'
