# 32-bit Windows, the build vendors ship. This machine cannot run 32-bit
# Windows programs: the build is compiled and linked, its tests are not run.
set(_triple i686-w64-mingw32)
set(_processor x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(LAUNCHER_CAN_RUN_TESTS OFF)
