#!/usr/bin/env bash
# Runs the whole test suite: installs what is missing, builds, then every unit, widget and
# end-to-end test through ctest, and each benchmark once in its smoke mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh tests
bash scripts/build.sh
# No test may reach a real sound card or the user's own settings.
export SDL_AUDIODRIVER=dummy
export XDG_CONFIG_HOME="$(mktemp -d)"
# Twice as many tests as processors: the end-to-end ones spend most of their time waiting on their
# own X servers (xautolock's idle minute, the pictures' seconds), not computing.
jobs=$(($(nproc) * 2))
ctest_log="$(mktemp)"
trap 'rm -rf "$XDG_CONFIG_HOME" "$ctest_log"' EXIT
status=0
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300 | tee "$ctest_log" || status=$?
# ctest lists the skipped tests without why; each one said why, in the run's log.
for name in $(awk '/did not run:/ { on = 1; next } on && /\(Skipped\)/ { print $3 }' "$ctest_log"); do
  printf 'skipped %s: ' "$name"
  awk -v start="\"$name\" start time" '
    index($0, start) == 1 { on = 1; next }
    on && /<end of output>/ { exit }
    on && !/^(Output:|-+)$/ { print }
  ' build/Testing/Temporary/LastTest.log | paste -sd ' '
done
[ "$status" -eq 0 ] || exit "$status"

# Every benchmark once at its smallest size, in seconds: a benchmark that no longer runs fails the
# suite. Their figures come from the full run, bench/run-benchmarks.sh, which stays separate.
if ! sh bench/run-benchmarks.sh --smoke build; then
  echo "benchmarks could not run" >&2
  exit 1
fi
