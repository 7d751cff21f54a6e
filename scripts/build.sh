#!/usr/bin/env bash
# Configures and builds TAVELLO into build/ (the program is build/tavello).
#
# Usage: scripts/build.sh            the program, its tests and the benchmarks
#        scripts/build.sh tavello    the program only (scripts/demo.sh); a new build folder is then
#                                    configured without the tests and benchmarks, whose packages
#                                    only the tests layer of scripts/setup.sh installs
#
# The configure step is quiet unless CMake warns, errs or does not find something: then its
# warnings are shown (and everything when it fails). The full output stays in build/configure.log.
set -euo pipefail
cd "$(dirname "$0")/.."

options=()
# Through ccache when it is there, unless CCACHE_DISABLE asks for a build without it.
case "${CCACHE_DISABLE:-}" in
  "" | 0 | false | no)
    if command -v ccache >/dev/null; then
      options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi ;;
esac
# The precompiled headers' compiles are cached only with these (see tavello_precompile_headers).
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  options+=(-DTAVELLO_BUILD_TESTS=ON -DTAVELLO_BUILD_BENCH=ON)
elif [ ! -f build/CMakeCache.txt ]; then
  options+=(-DTAVELLO_BUILD_TESTS=OFF -DTAVELLO_BUILD_BENCH=OFF)
  echo "build: a new build folder for ${targets[*]} alone, without the tests and benchmarks" \
    "(scripts/build.sh with no target adds them)"
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! cmake -S . -B build "${options[@]}" >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
cp "$log" build/configure.log
# Each CMake message block: its header line and the indented or blank lines under it.
warnings="$(awk '
  /^-- Could NOT find/ { print; next }
  /^CMake (Deprecation )?(Warning|Error)/ { block = 1; print; next }
  block && (/^$/ || /^[ \t]/) { print; next }
  { block = 0 }
' "$log")"
if [ -n "$warnings" ]; then
  printf '%s\n' "$warnings" >&2
  echo "build: the whole configure output is in build/configure.log" >&2
fi

build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${build_targets[@]}"
