# 64-bit Windows. This build runs under Wine: its tests are run.
set(_triple x86_64-w64-mingw32)
set(_processor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(LAUNCHER_CAN_RUN_TESTS ON)
