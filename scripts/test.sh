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
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
ctest --test-dir build --output-on-failure -j2 --timeout 300

# Every benchmark once at its smallest size, in seconds: a benchmark that no longer runs fails the
# suite. Their figures come from the full run, bench/run-benchmarks.sh, which stays separate.
if ! sh bench/run-benchmarks.sh --smoke build; then
  echo "benchmarks could not run" >&2
  exit 1
fi
