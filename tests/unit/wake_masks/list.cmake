# A layer list for cmake/check_wake_masks.cmake over one file that names a ready-made mask.
set(LAYER sample)
set(SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR})
set(FILES waits.cpp)
