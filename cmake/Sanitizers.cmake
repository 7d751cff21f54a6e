# Sanitizer and fuzzing builds, each in a build folder of its own (scripts/sanitize.sh,
# scripts/fuzz.sh). Every library is instrumented, so a fault is caught wherever it happens.
#
# TAVELLO_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer on everything; undefined
#   behaviour aborts instead of printing and going on, so a test that meets it fails.
# TAVELLO_FUZZ: also the libFuzzer harnesses in fuzz/ (clang only); implies TAVELLO_SANITIZE and
#   adds the coverage instrumentation libFuzzer steers by.

option(TAVELLO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TAVELLO_FUZZ "Build the libFuzzer harnesses (needs clang, implies TAVELLO_SANITIZE)" OFF)

if(TAVELLO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TAVELLO_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  set(TAVELLO_SANITIZE ON)
endif()

if(TAVELLO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TAVELLO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
