# Tests run under Wine in a prefix of their own below the build tree.
#
# A ctest fixture starts Xvfb and a persistent wineserver before the first
# test and stops both after the last; every test executable runs through
# cmake/wine-run.sh, which puts it into that environment.

set(LAUNCHER_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(LAUNCHER_WINE_ENV ${PROJECT_SOURCE_DIR}/cmake/wine-test-env.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh ${LAUNCHER_WINE_STATE})

# GoogleTest from Debian's sources, built with the cross compiler.
set(LAUNCHER_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${LAUNCHER_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

if(LAUNCHER_CAN_RUN_TESTS)
  add_test(NAME wine.start COMMAND ${LAUNCHER_WINE_ENV} start ${LAUNCHER_WINE_STATE})
  add_test(NAME wine.stop COMMAND ${LAUNCHER_WINE_ENV} stop ${LAUNCHER_WINE_STATE})
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# launcher_test(<target> [LOCALES zh_CN en_US] [LABELS ...] [TIMEOUT s])
# One ctest test per executable and locale: each Wine start costs a second.
# The test main checks that Wine really runs with the locale's ANSI code page.
function(launcher_test target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LOCALES;LABELS" ${ARGN})
  if(NOT ARG_LOCALES)
    set(ARG_LOCALES zh_CN)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  if(NOT LAUNCHER_CAN_RUN_TESTS OR NOT TARGET ${target})
    return()
  endif()
  foreach(locale IN LISTS ARG_LOCALES)
    if(locale STREQUAL "zh_CN")
      set(code_page 936)
    elseif(locale STREQUAL "en_US")
      set(code_page 1252)
    else()
      message(FATAL_ERROR "No known ANSI code page for ${locale}")
    endif()
    set(name ${target}.${locale})
    add_test(NAME ${name} COMMAND ${target})
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "LC_ALL=${locale}.UTF-8;LAUNCHER_EXPECT_ACP=${code_page}"
      FIXTURES_REQUIRED wine
      RESOURCE_LOCK wine_display
      LABELS "${ARG_LABELS}"
      TIMEOUT ${ARG_TIMEOUT})
  endforeach()
endfunction()

# launcher_test_executable(<target> [DEPENDS libs...]): every *_test.cpp of
# the current folder in one executable with the shared test main.
function(launcher_test_executable target)
  cmake_parse_arguments(ARG "" "" "DEPENDS;SOURCES" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT tests)
    return()
  endif()
  add_executable(${target} ${tests} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE launcher_test_support ${ARG_DEPENDS})
endfunction()
