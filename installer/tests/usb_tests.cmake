# Tests of USB discovery, direct output and their platform services.

add_library(velmara_usb_test_support STATIC
  device_backends.cpp
  machine_registry_backends.cpp
  usb_fixture.cpp)
target_include_directories(velmara_usb_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velmara_usb_test_support PUBLIC velmara_usb velmara_stand_ins GTest::gtest PRIVATE pos_warnings pos_windows_tests)

pos_add_test(NAME velmara_machine_registry_contract_test
  SOURCES machine_registry_contract_test.cpp
  LIBRARIES velmara_usb_test_support gtest_main)

# Registers interfaces in Wine's registry, as the USB tests below do.
pos_add_test(NAME velmara_device_interfaces_contract_test
  SOURCES device_interfaces_contract_test.cpp
  LIBRARIES velmara_usb_test_support gtest_main
  LOCKS usb_registry)

pos_add_test(NAME velmara_device_output_contract_test
  SOURCES device_output_contract_test.cpp
  LIBRARIES velmara_usb_test_support gtest_main)

pos_add_test(NAME velmara_threads_contract_test
  SOURCES threads_contract_test.cpp
  LIBRARIES velmara_usb_test_support gtest_main)

pos_add_test(NAME velmara_usb_test
  SOURCES usb_discovery_test.cpp usb_port_pages_test.cpp
  LIBRARIES velmara_usb_test_support gtest_main)

if(WIN32)
  pos_add_test(NAME velmara_usb_wine_test
    SOURCES usb_wine_test.cpp
    LIBRARIES velmara_usb_test_support gtest_main
    LOCKS usb_registry)
endif()
