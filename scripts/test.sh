#!/usr/bin/env bash
# Runs the whole test suite: installs what is missing, builds, then every unit, widget and
# end-to-end test through ctest, and the benchmarks in their short mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh tests
bash scripts/build.sh
# No test may reach a real sound card or the user's own settings.
export SDL_AUDIODRIVER=dummy
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
ctest --test-dir build --output-on-failure -j2 --timeout 300

# Speed and memory figures, in their short mode. They are reported, not asserted: a busy machine
# may miss a target, but a benchmark that cannot run at all fails the suite.
set +e
sh bench/run-benchmarks.sh --short build
bench_status=$?
set -e
if [ "$bench_status" -ge 2 ]; then
  echo "benchmarks could not run" >&2
  exit 1
fi
