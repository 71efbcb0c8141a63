# Tests of the installation dialog's and the main window's commands.

pos_add_test(NAME velmara_dialog_test
  SOURCES command_line_test.cpp command_run_test.cpp confing_dialog_test.cpp main_window_test.cpp
    program_end_test.cpp
  LIBRARIES velmara_ui velmara_usb_test_support gtest_main)

if(WIN32)
  # The real program under Wine, once with each user-interface language. Tests whose windows
  # take the focus share the desktop one at a time (wine_desktop), so that none steals another's.
  add_executable(velmara_rundll32_standin WIN32 windows/rundll32_standin.cpp)
  set_target_properties(velmara_rundll32_standin PROPERTIES OUTPUT_NAME rundll32
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/rundll32)
  target_include_directories(velmara_rundll32_standin PRIVATE ${PROJECT_SOURCE_DIR}/testing/windows)
  target_link_libraries(velmara_rundll32_standin PRIVATE comctl32 pos_warnings pos_windows_tests)
  target_link_options(velmara_rundll32_standin PRIVATE -municode)

  # The real program from the command line, as a script starts it.
  pos_add_test(NAME velmara_command_line_test
    SOURCES windows/velmara_command_line_test.cpp
    LIBRARIES velmara_ui velmara_engine_test_support pos_window_driver gtest_main shell32
    LOCKS spooler wine_desktop)
  add_dependencies(velmara_command_line_test Velmara)

  add_executable(velmara_window_test windows/velmara_window_test.cpp)
  target_include_directories(velmara_window_test PRIVATE ${PROJECT_SOURCE_DIR}/installer)
  target_link_libraries(velmara_window_test PRIVATE velmara_engine_test_support pos_window_driver GTest::gmock
    gtest_main winspool pos_warnings pos_windows_tests)
  add_dependencies(velmara_window_test Velmara velmara_rundll32_standin pos_planted_dll)
  foreach(language zh_CN en)
    if(language STREQUAL zh_CN)
      set(_lang zh_CN.UTF-8)
    else()
      set(_lang C.UTF-8)
    endif()
    add_test(NAME velmara_window_test_${language} COMMAND velmara_window_test --gtest_color=no)
    set_tests_properties(velmara_window_test_${language} PROPERTIES
      LABELS wine ENVIRONMENT "LANG=${_lang};LC_ALL=${_lang}" RESOURCE_LOCK "spooler;wine_system;wine_desktop")
  endforeach()
endif()
