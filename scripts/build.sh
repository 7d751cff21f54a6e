#!/usr/bin/env bash
# Configures and builds TAVELLO into build/ (the program is build/tavello).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
