# Prints the per-test time limit, in seconds, of a test preset of CMakePresets.json (nothing when
# it sets none):  cmake -DPRESET=NAME -P tools/preset-timeout.cmake
file(READ "${CMAKE_CURRENT_LIST_DIR}/../CMakePresets.json" presets)
string(JSON count LENGTH "${presets}" testPresets)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON name GET "${presets}" testPresets ${i} name)
  if(name STREQUAL PRESET)
    string(JSON timeout ERROR_VARIABLE missing GET "${presets}" testPresets ${i} execution timeout)
    if(NOT missing)
      execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${timeout}")
    endif()
  endif()
endforeach()
