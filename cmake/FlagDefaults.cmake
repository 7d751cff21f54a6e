# The default build (RelWithDebInfo) keeps line tables only: backtraces and sanitizer reports still
# name the file and line, and the cold build takes a quarter less processor time than with full
# debug information. For a debugger session, configure with -DCMAKE_BUILD_TYPE=Debug.
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO_INIT "-O2 -g1 -DNDEBUG")
set(CMAKE_C_FLAGS_RELWITHDEBINFO_INIT "-O2 -g1 -DNDEBUG")
