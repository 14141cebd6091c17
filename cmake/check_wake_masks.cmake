# Build step of each layer library, beside the include check: fails when one of the layer's
# files names a ready-made message wake mask (QS_ALLINPUT, QS_ALLEVENTS, QS_INPUT). Windows'
# headers put touch and pointer input into those where the build targets Windows 8 and later,
# and Windows 7 refuses such a mask: every wait names its flags one by one instead.
#
#   cmake -DLAYER_LIST=<file> -P check_wake_masks.cmake
#
# LAYER_LIST as for check_layer_includes.cmake.
cmake_minimum_required(VERSION 3.20)
include(${LAYER_LIST})
set(failures "")
foreach(file IN LISTS FILES)
    file(STRINGS ${SOURCE_ROOT}/${file} lines REGEX "QS_(ALLINPUT|ALLEVENTS|INPUT)([^A-Z0-9_]|$)")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        string(APPEND failures "\n  ${file}: ${line}")
    endforeach()
endforeach()
if(failures)
    message(FATAL_ERROR "Name the wake flags of a message wait one by one, never QS_ALLINPUT, "
                        "QS_ALLEVENTS or QS_INPUT (Windows 7 refuses them):${failures}")
endif()
