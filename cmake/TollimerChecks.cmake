# Build options for the checking builds. Both are off by default, and each wants a build directory of its own
# (./tollimer.sh sanitize and ./tollimer.sh fuzz make build-sanitize/ and build-fuzz/).
#
# TOLLIMER_SANITIZE: every target with AddressSanitizer and UndefinedBehaviorSanitizer, so the whole test suite
# runs over instrumented code. Undefined behaviour aborts instead of printing and going on, so a finding fails
# its test.
# TOLLIMER_FUZZ: clang only; instruments every target for libFuzzer's coverage as well and builds one fuzzer per
# tests/fuzz/fuzz_*.cpp (the custom target "fuzzers" builds them all).
option(TOLLIMER_SANITIZE "Build every target with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TOLLIMER_FUZZ "Build the libFuzzer targets of tests/fuzz (needs clang)" OFF)

if(TOLLIMER_SANITIZE OR TOLLIMER_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(TOLLIMER_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TOLLIMER_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
