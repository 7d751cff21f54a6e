#!/usr/bin/env bash
# Runs the fuzz harnesses (fuzz/), each for a set time on its committed seed corpus, building
# them first (scripts/sanitizer-env.sh).
#
# Usage: scripts/fuzz.sh [--keep] [--jobs N] [seconds] [harness...]
#   seconds   how long each harness runs (default 60)
#   harness   settings userreg mci picture midi password (default: all)
#   --keep    new inputs go into the committed corpus (fuzz/corpus/<harness>); otherwise into
#             build-asan/fuzz-scratch/<harness>, which later runs start from as well
#   --jobs N  runs N harnesses at once (default 1)
# TAVELLO_FUZZ_CHECKS=0 turns off the harnesses' result checks, leaving the sanitizers' own.
#
# A finding (a crash, a sanitizer report, a failed result check, a leak, a timeout) is saved
# under fuzz/findings/ (not committed), its log under build-asan/fuzz-logs/, and the script
# exits with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sanitizer-env.sh

ALL=(settings userreg mci picture midi password)
seconds=60
jobs=1
keep=0
harnesses=()
while [ $# -gt 0 ]; do
    case "$1" in
        --keep) keep=1 ;;
        --jobs) jobs="$2"; shift ;;
        [0-9]*) seconds="$1" ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) harnesses+=("$1") ;;
    esac
    shift
done
[ ${#harnesses[@]} -gt 0 ] || harnesses=("${ALL[@]}")

findings="$TAVELLO_ROOT/fuzz/findings"
logs="$ASAN_BUILD/fuzz-logs"
mkdir -p "$findings" "$logs"
echo "fuzz: building the harnesses (log: $logs/build.log)"
build_sanitized --target "${harnesses[@]/#/tavello_fuzz_}" >"$logs/build.log" 2>&1 ||
    { tail -40 "$logs/build.log" >&2; exit 1; }

# The harnesses write each input to a scratch file, and some readers sync what they save: in
# memory this costs nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

# One harness for the given time; prints one summary line, fails on a finding.
run_one() {
    local name="$1"
    local corpus="$TAVELLO_ROOT/fuzz/corpus/$name"
    local scratch="$ASAN_BUILD/fuzz-scratch/$name"
    local dirs=("$scratch" "$corpus")
    [ "$keep" = 1 ] && dirs=("$corpus")
    mkdir -p "$scratch"
    local log="$logs/$name.log"
    local status=0
    "$ASAN_BUILD/fuzz/tavello_fuzz_$name" -max_total_time="$seconds" -timeout=60 -report_slow_units=60 \
        -print_final_stats=1 -artifact_prefix="$findings/$name-" "${dirs[@]}" >"$log" 2>&1 ||
        status=$?
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    if [ "$status" -ne 0 ]; then
        echo "$name: FINDING after ${runs:-?} runs (exit $status), see $log"
        grep -m1 -E 'ERROR: |runtime error|result check failed|Test unit written' "$log" || true
        return 1
    fi
    echo "$name: ${runs:-?} runs in ${seconds}s, corpus $(find "${dirs[@]}" -type f | wc -l)"
}
export -f run_one
export keep seconds findings logs ASAN_BUILD TAVELLO_ROOT

printf '%s\n' "${harnesses[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} ||
    { echo "fuzz: findings saved in $findings" >&2; exit 1; }
echo "fuzz: no findings"
