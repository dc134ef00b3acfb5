# SPDX-License-Identifier: GPL-3.0-or-later
# One interface target carries the warnings and definitions every target uses.
add_library(pw_common INTERFACE)
target_compile_options(pw_common INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(pw_common INTERFACE
    QT_NO_KEYWORDS
    QT_USE_QSTRINGBUILDER)
target_include_directories(pw_common INTERFACE ${PROJECT_SOURCE_DIR})

option(PW_SANITIZE "Build with address and undefined behaviour sanitizers" OFF)
if(PW_SANITIZE)
    target_compile_options(pw_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(pw_common INTERFACE -fsanitize=address,undefined)
endif()

# The fuzzers (fuzz/): clang instruments every target for libFuzzer.
option(PW_FUZZ "Build the fuzzers with clang's libFuzzer and sanitizers" OFF)
if(PW_FUZZ)
    target_compile_options(pw_common INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(pw_common INTERFACE -fsanitize=address,undefined)
endif()
