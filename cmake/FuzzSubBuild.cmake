# SPDX-License-Identifier: MIT
# libFuzzer needs clang; the fuzz targets are built by a clang sub-build of this same
# source tree and run briefly as ordinary tests.
include(ExternalProject)
find_program(LOOMHAVEN_CLANGXX NAMES clang++ clang++-14)
if(NOT LOOMHAVEN_CLANGXX)
    message(WARNING "clang++ not found: the fuzz targets are not built")
    return()
endif()
set(_fuzz_bin ${CMAKE_BINARY_DIR}/fuzz-build)
ExternalProject_Add(fuzz_targets
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${_fuzz_bin}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${LOOMHAVEN_CLANGXX}
               -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DLOOMHAVEN_FUZZ_ONLY=ON
               -DWARNINGS_AS_ERRORS=${WARNINGS_AS_ERRORS}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)

set(LOOMHAVEN_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs as a test")
# loomhaven_fuzz_test(<target> <seed dir>): run the target over a scratch copy of its seeds.
function(loomhaven_fuzz_test target seeds)
    add_test(NAME fuzz.${target}
        COMMAND ${CMAKE_COMMAND}
            -DFUZZER=${_fuzz_bin}/fuzz/${target}
            -DSEEDS=${seeds}
            -DWORK=${CMAKE_BINARY_DIR}/fuzz-work/${target}
            -DSECONDS=${LOOMHAVEN_FUZZ_SECONDS}
            -P ${PROJECT_SOURCE_DIR}/cmake/RunFuzzer.cmake)
    set_tests_properties(fuzz.${target} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()
include(${PROJECT_SOURCE_DIR}/fuzz/Targets.cmake)
