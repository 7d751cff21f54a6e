#!/usr/bin/env bash
# Runs the whole test suite: installs what is missing, builds, then every unit, widget and
# end-to-end test through ctest, and the benchmarks in their short mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
# No test may reach a real sound card or the user's own settings.
export SDL_AUDIODRIVER=dummy
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
ctest --test-dir build --output-on-failure -j2 --timeout 300
