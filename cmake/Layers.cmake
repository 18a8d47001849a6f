# SPDX-License-Identifier: MIT
# One static library per folder of src/, each linking the layer below it (LayerOrder.cmake).
# With ENABLE_SANITIZERS every toolkit-free layer gets an instrumented twin (<target>_san) that
# the toolkit-free tests link, so a single build tree holds both the plain program and the
# sanitizer-checked tests.
include(${CMAKE_CURRENT_LIST_DIR}/LayerOrder.cmake)

add_library(loomhaven_options INTERFACE)
target_compile_features(loomhaven_options INTERFACE cxx_std_20)
# Designated initialisers name only the services a test replaces; the rest keep their defaults.
target_compile_options(loomhaven_options INTERFACE -Wall -Wextra -Wpedantic
    -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wno-missing-field-initializers)
if(WARNINGS_AS_ERRORS)
    target_compile_options(loomhaven_options INTERFACE -Werror)
endif()
target_compile_definitions(loomhaven_options INTERFACE
    LOOMHAVEN_VERSION="${PROJECT_VERSION}"
    LOOMHAVEN_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    LOOMHAVEN_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    LOOMHAVEN_VERSION_PATCH=${PROJECT_VERSION_PATCH})

add_library(loomhaven_sanitizers INTERFACE)
if(LOOMHAVEN_FUZZ_ONLY)
    set(_san_flags -fsanitize=address,undefined,fuzzer-no-link)
else()
    set(_san_flags -fsanitize=address,undefined)
endif()
target_compile_options(loomhaven_sanitizers INTERFACE ${_san_flags}
    -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
target_link_options(loomhaven_sanitizers INTERFACE -fsanitize=address,undefined)

# The fuzz sub-build instruments everything; the normal build instruments the twins only.
if(LOOMHAVEN_FUZZ_ONLY)
    set(LOOMHAVEN_SAN_SUFFIX "")
    set(_instrument_plain ON)
elseif(ENABLE_SANITIZERS)
    set(LOOMHAVEN_SAN_SUFFIX "_san")
    set(_instrument_plain OFF)
else()
    set(LOOMHAVEN_SAN_SUFFIX "")
    set(_instrument_plain OFF)
endif()

# loomhaven_add_layer(<folder>): the library of src/<folder> (and its sanitizer twin), linking
# the layer below it.
function(loomhaven_add_layer folder)
    loomhaven_layer_target(${folder} name)
    list(FIND LOOMHAVEN_LAYERS ${folder} rank)
    if(rank LESS 0)
        message(FATAL_ERROR "${folder} is not one of the layers: ${LOOMHAVEN_LAYERS}")
    endif()
    set(A_LINKS "")
    if(rank GREATER 0)
        math(EXPR below "${rank} - 1")
        list(GET LOOMHAVEN_LAYERS ${below} below)
        loomhaven_layer_target(${below} A_LINKS)
    endif()
    add_library(${name} STATIC)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC loomhaven_options ${A_LINKS})
    if(_instrument_plain)
        target_link_libraries(${name} PUBLIC loomhaven_sanitizers)
    endif()
    if(LOOMHAVEN_SAN_SUFFIX)
        add_library(${name}${LOOMHAVEN_SAN_SUFFIX} STATIC)
        target_include_directories(${name}${LOOMHAVEN_SAN_SUFFIX} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        list(TRANSFORM A_LINKS APPEND ${LOOMHAVEN_SAN_SUFFIX} OUTPUT_VARIABLE san_links)
        target_link_libraries(${name}${LOOMHAVEN_SAN_SUFFIX}
            PUBLIC loomhaven_options loomhaven_sanitizers ${san_links})
    endif()
endfunction()

# loomhaven_sources(<layer> <file>...): add sources to a layer and its twin.
function(loomhaven_sources name)
    target_sources(${name} PRIVATE ${ARGN})
    if(LOOMHAVEN_SAN_SUFFIX)
        target_sources(${name}${LOOMHAVEN_SAN_SUFFIX} PRIVATE ${ARGN})
    endif()
endfunction()
