# GoogleTest from Debian's sources (package googletest), built with this tree's compiler and flags.
set(POS_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${POS_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${POS_GOOGLETEST_SOURCE}; run tools/install-deps.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${POS_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)

# pos_add_test(NAME <name> SOURCES <files...> LIBRARIES <libs...> [LABELS <labels...>]
#              [LOCKS <resources...>])
# Tests that share a resource of the one Wine prefix (registry keys, the spooler) name it in LOCKS.
# One executable runs all of its cases in one process: under Wine each start costs half a second.
function(pos_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBRARIES;LABELS;LOCKS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gmock pos_warnings pos_windows_tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  if(WIN32)
    set(_labels wine ${T_LABELS})
  else()
    set(_labels host ${T_LABELS})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${_labels}")
  if(T_LOCKS AND WIN32)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
endfunction()
