# The same programs for 64-bit Windows, for running the end-to-end tests under a Wine that
# cannot start 32-bit programs (see the README's testing section).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LMP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
