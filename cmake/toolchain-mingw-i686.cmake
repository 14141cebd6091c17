# The shipped build: 32-bit x86 Windows programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LMP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
