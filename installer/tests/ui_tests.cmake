# Tests of the installation dialog's and the main window's commands.

pos_add_test(NAME velmara_dialog_test
  SOURCES confing_dialog_test.cpp main_window_test.cpp
  LIBRARIES velmara_ui velmara_usb_test_support gtest_main)
