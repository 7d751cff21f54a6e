#!/usr/bin/env bash
# The show on a desk of three monitors against one: processor use between pictures (target: at
# most 1 % of one core with three) and the cost of a picture change (target: with three no more
# than with one, within the 10 % the processor-time counters and a shared machine allow).
#
#   bench/desk-cpu.sh [--smoke] [build-folder]   (default: build; needs root for the X server)
#
# Runs bench/show-cpu.sh --monitors 1, then --monitors 3, each on a fresh X server. --smoke runs
# them in their smoke mode, only to prove they run, and judges no target.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
smoke=""
if [ "${1:-}" = --smoke ]; then
    smoke=--smoke
    shift
fi
build=${1:-$root/build}
[ "$(id -u)" -eq 0 ] || { echo "desk-cpu: needs root for the X server" >&2; exit 2; }

status=0
one=$("$root/bench/show-cpu.sh" --monitors 1 $smoke "$build") || status=$?
[ "$status" -le 1 ] || { echo "desk-cpu: the one-monitor show could not be measured" >&2; exit 2; }
echo "$one"
three=$("$root/bench/show-cpu.sh" --monitors 3 $smoke "$build") || status=$?
[ "$status" -le 1 ] || { echo "desk-cpu: the three-monitor show could not be measured" >&2; exit 2; }
echo "$three"

change() { awk '/^RESULT picture_change_cpu/ { print $3 }' <<<"$1"; }
awk -v one="$(change "$one")" -v three="$(change "$three")" -v smoke="$smoke" 'BEGIN {
    if (one <= 0) {
        print "desk-cpu: no processor time measured over the one-monitor changes" > "/dev/stderr"
        exit (smoke != "") ? 0 : 1
    }
    ratio = three / one
    target = (smoke != "") ? "(smoke run)" : "(target <= 1.1)"
    printf "RESULT %-28s %10.2f x one monitor %s\n", "picture_change_3mon_vs_1mon", ratio, target
    exit (ratio <= 1.1 || smoke != "") ? 0 : 1
}' || status=1
exit "$status"
