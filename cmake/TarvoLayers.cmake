# Libraries in layers.  tarvo_library(NAME [BELOW lib...] FILES file...)
# makes the static library NAME of FILES (paths relative to the current
# source directory, headers included) over the libraries BELOW it, and
# checks at build time that its files include only its own headers and
# those of the libraries below (a header under include/ is included by its
# name alone).  Adding a file to a library is one line in its list.

function(tarvo_check_includes target root files allowed)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.includes-checked)
  set(deps "")
  foreach(f IN LISTS files)
    list(APPEND deps ${root}/${f})
  endforeach()
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DNAME=${target} -DROOT=${root} "-DFILES=${files}" "-DALLOWED=${allowed}"
            -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    DEPENDS ${deps} ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    COMMENT "Checking the includes of ${target}" VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
endfunction()

function(tarvo_library name)
  cmake_parse_arguments(L "" "" "BELOW;FILES" ${ARGN})
  set(allowed "")
  foreach(lib IN LISTS L_BELOW)
    get_property(h GLOBAL PROPERTY TARVO_HEADERS_${lib})
    list(APPEND allowed ${h})
  endforeach()
  foreach(f IN LISTS L_FILES)
    if(f MATCHES "\\.h$")
      string(REGEX REPLACE "^include/" "" h "${f}")
      list(APPEND allowed ${h})
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY TARVO_HEADERS_${name} ${allowed})
  add_library(${name} STATIC ${L_FILES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  if(L_BELOW)
    target_link_libraries(${name} PUBLIC ${L_BELOW})
  endif()
  tarvo_check_includes(${name} ${CMAKE_CURRENT_SOURCE_DIR} "${L_FILES}" "${allowed}")
endfunction()
