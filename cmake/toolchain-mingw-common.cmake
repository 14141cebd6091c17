# Shared part of the MinGW-w64 cross toolchains; the including file sets LMP_MINGW_TRIPLE.
# LMP_MINGW_POSIX=ON selects the -posix compiler variant (std::thread, std::mutex), which the
# Windows builds of the unit tests need for GoogleTest; the shipped programs use the default.
set(CMAKE_SYSTEM_NAME Windows)
set(_suffix "")
if(LMP_MINGW_POSIX)
    set(_suffix "-posix")
endif()
set(CMAKE_C_COMPILER ${LMP_MINGW_TRIPLE}-gcc${_suffix})
set(CMAKE_CXX_COMPILER ${LMP_MINGW_TRIPLE}-g++${_suffix})
set(CMAKE_RC_COMPILER ${LMP_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LMP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
