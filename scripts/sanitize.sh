#!/usr/bin/env bash
# The sanitizer run: builds the program, its tests and the fuzz harnesses with AddressSanitizer
# and UndefinedBehaviorSanitizer (clang) into build-asan/, then runs every unit and widget test
# there and replays each committed fuzz corpus (fuzz/corpus) through its harness. Any sanitizer
# report fails the run. The end-to-end tests stay with scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh ci
source scripts/sanitizer-env.sh
build_sanitized

export SDL_AUDIODRIVER=dummy
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
# The end-to-end, install and package tests run the finished program and its package, not the
# code the sanitizers watch; they stay with scripts/test.sh.
ctest --test-dir "$ASAN_BUILD" --label-exclude 'e2e|install|package' --output-on-failure -j2 \
  --timeout 600
