# SPDX-License-Identifier: MIT
# cmake -DSOURCE=<repo> -P CheckLayers.cmake
# Fails when a file of src/ includes a folder above its own layer (see LayerOrder.cmake), or
# when toolkit-free code includes a Qt header; names every offending file and line.
include(${CMAKE_CURRENT_LIST_DIR}/LayerOrder.cmake)

set(offences "")
foreach(layer IN LISTS LOOMHAVEN_LAYERS)
    list(FIND LOOMHAVEN_LAYERS ${layer} rank)
    file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/src/${layer}/*.h ${SOURCE}/src/${layer}/*.cpp)
    list(SORT files)
    foreach(f IN LISTS files)
        file(READ ${SOURCE}/${f} text)
        if(NOT text MATCHES "#[ \t]*include")
            continue()
        endif()
        # One list element per line: characters that mean something to a list are blanked.
        string(REGEX REPLACE "[];[\\]" "_" text "${text}")
        string(REPLACE "\n" ";" lines "${text}")
        set(n 0)
        foreach(line IN LISTS lines)
            math(EXPR n "${n} + 1")
            if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z_]+)/")
                set(to ${CMAKE_MATCH_1})
                list(FIND LOOMHAVEN_LAYERS ${to} to_rank)
                if(to_rank GREATER rank)
                    string(STRIP "${line}" line)
                    string(APPEND offences
                        "${f}:${n}: ${layer}/ may not include ${to}/, a layer above it: ${line}\n")
                endif()
            elseif(NOT layer STREQUAL "binding" AND line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
                string(STRIP "${line}" line)
                string(APPEND offences "${f}:${n}: ${layer}/ is toolkit-free, no Qt header: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(offences)
    string(REPLACE ";" " < " order "${LOOMHAVEN_LAYERS}")
    message(FATAL_ERROR "includes against the layers (${order}):\n${offences}")
endif()
string(REPLACE ";" " < " order "${LOOMHAVEN_LAYERS}")
message(STATUS "every include of src/ follows the layers: ${order}")
