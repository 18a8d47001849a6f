# SPDX-License-Identifier: MIT
# The layers of src/, bottom first. A layer links the one before it and may include only its
# own folder and the folders before it; cmake/CheckLayers.cmake holds every file to that.
# src/main.cpp sits above them all.
set(LOOMHAVEN_LAYERS platform forms effects gif settings app binding)

# loomhaven_layer_target(<folder> <out>): the library a folder of src/ compiles into.
function(loomhaven_layer_target folder out)
    set(${out} loomhaven_${folder} PARENT_SCOPE)
endfunction()
