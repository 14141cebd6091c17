# The players' download: one ZIP holding one folder with both programs, a short README and
# the two files players may edit, and the licence of the MMPX filter's published code. `cpack` in the Windows build directory makes it.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(LMP_PACKAGE_PLATFORM win32)
else()
    set(LMP_PACKAGE_PLATFORM win64)
endif()

install(TARGETS lumenpane lmp_game_starter RUNTIME DESTINATION .)
install(FILES
    ${CMAKE_SOURCE_DIR}/packaging/README.txt
    ${CMAKE_SOURCE_DIR}/packaging/lmp_game_starter.cfg
    ${CMAKE_SOURCE_DIR}/packaging/lumenpane.ini
    ${CMAKE_SOURCE_DIR}/packaging/MMPX-LICENSE.txt
    DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lumenpane)
set(CPACK_PACKAGE_VERSION
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_FILE_NAME
    lumenpane-${CPACK_PACKAGE_VERSION}-${LMP_PACKAGE_PLATFORM})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
