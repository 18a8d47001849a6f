# SPDX-License-Identifier: MIT
# Carries files inside the program without any toolkit: a generated header holds one
# assembler block that pulls each file into read-only data with .incbin, and a table of the
# files' names, first bytes and sizes. Several megabytes cost the compiler nothing this way.
#
# loomhaven_embed_files(<target>... HEADER <path of the header to write>
#                       DIRECTORY <dir> FILES <name>... INCLUDER <source that includes it>)
# writes the header (only when it changes), makes the targets find it, and rebuilds the
# including source whenever one of the files changes (the compiler's own dependency list
# does not know the files that .incbin reads).
function(loomhaven_embed_files)
    cmake_parse_arguments(E "" "HEADER;DIRECTORY;INCLUDER" "TARGETS;FILES" ${ARGN})
    set(asm "")
    set(decls "")
    set(table "")
    set(paths "")
    set(i 0)
    foreach(name IN LISTS E_FILES)
        set(path "${E_DIRECTORY}/${name}")
        if(NOT EXISTS "${path}")
            message(FATAL_ERROR "embedded file missing: ${path}")
        endif()
        list(APPEND paths "${path}")
        # Quoted for the assembler: backslashes and double quotes escaped.
        string(REPLACE "\\" "\\\\" quoted "${path}")
        string(REPLACE "\"" "\\\"" quoted "${quoted}")
        set(sym "loomhaven_embedded_${i}")
        string(APPEND asm
            "    .balign 16\n"
            "${sym}:\n"
            "    .incbin \"${quoted}\"\n"
            "${sym}_end:\n"
            "    .balign 8\n"
            "${sym}_size:\n"
            "    .quad ${sym}_end - ${sym}\n")
        string(APPEND decls
            "extern \"C\" const std::uint8_t ${sym}[];\n"
            "extern \"C\" const std::uint64_t ${sym}_size;\n")
        string(APPEND table "    {\"${name}\", ${sym}, &${sym}_size},\n")
        math(EXPR i "${i} + 1")
    endforeach()
    set(EMBED_ASM "${asm}")
    set(EMBED_DECLS "${decls}")
    set(EMBED_TABLE "${table}")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/EmbeddedFiles.inc.in "${E_HEADER}" @ONLY)

    get_filename_component(header_dir "${E_HEADER}" DIRECTORY)
    foreach(target IN LISTS E_TARGETS)
        target_include_directories(${target} PRIVATE "${header_dir}")
    endforeach()
    # Source properties belong to the directory that made the target, not to this one.
    set_property(SOURCE "${E_INCLUDER}" TARGET_DIRECTORY ${E_TARGETS}
        APPEND PROPERTY OBJECT_DEPENDS ${paths})
endfunction()
