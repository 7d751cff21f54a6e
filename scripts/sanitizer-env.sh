# Sourced by scripts/sanitize.sh and scripts/fuzz.sh: the sanitizer build folder, how it is made,
# and the sanitizers' options.

TAVELLO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ASAN_BUILD="$TAVELLO_ROOT/build-asan"

# Any report ends the program with a failure; leaks are checked at exit, except those inside
# system libraries that scripts/lsan.supp names.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="suppressions=$TAVELLO_ROOT/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# The precompiled headers' compiles are cached only with these (see tavello_precompile_headers).
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"

# Configures and builds the program, its tests and the fuzz harnesses with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-asan/ (the benchmarks are left out: they measure
# speed, which the sanitizers change). Arguments are passed to the build (e.g. a --target).
build_sanitized() {
    local launcher=()
    command -v ccache >/dev/null &&
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    # -O1 and line tables only: the sanitizers' usual level, and their reports still name the file
    # and line; the build takes a quarter less than at -O2 with full debug information.
    # The generated Wayland protocol code is C: clang too, with the same flags.
    cmake -S "$TAVELLO_ROOT" -B "$ASAN_BUILD" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_C_COMPILER=clang "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
        -DTAVELLO_FUZZ=ON -DTAVELLO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$ASAN_BUILD" -j"$(nproc)" "$@"
}
