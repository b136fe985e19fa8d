# launcher_library(<name> [DEPENDS <libs>...] [SYSTEM_LIBS <libs>...])
# One static library per source folder, from every .cpp in it, so adding a
# file needs no build change.
function(launcher_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;SYSTEM_LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} ${ARG_SYSTEM_LIBS})
endfunction()
