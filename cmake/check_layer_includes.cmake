# Build step of each layer library: fails when one of the layer's files includes a project
# header that the layer may not use (a header of its own layer or of a layer below).
#
#   cmake -DLAYER_LIST=<file> -DSTAMP=<file> -P check_layer_includes.cmake
#
# LAYER_LIST sets LAYER (the name), SOURCE_ROOT, FILES (the layer's files) and ALLOWED (the
# headers it may include), all paths relative to SOURCE_ROOT.
cmake_minimum_required(VERSION 3.20)
include(${LAYER_LIST})
set(failures "")
foreach(file IN LISTS FILES)
    file(STRINGS ${SOURCE_ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
        if(NOT header IN_LIST ALLOWED)
            string(APPEND failures "\n  ${file} includes ${header}")
        endif()
    endforeach()
endforeach()
if(failures)
    message(FATAL_ERROR "The ${LAYER} layer may only include its own headers and those of "
                        "the layers below it:${failures}")
endif()
file(TOUCH ${STAMP})
