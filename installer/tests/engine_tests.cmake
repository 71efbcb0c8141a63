# Tests of the installation engine and its platform services.

add_library(velmara_engine_test_support STATIC service_backends.cpp)
if(WIN32)
  target_sources(velmara_engine_test_support PRIVATE win32_readback.cpp win32_service_backends.cpp)
  target_include_directories(velmara_engine_test_support PRIVATE ${PROJECT_SOURCE_DIR}/testing/windows)
endif()
target_include_directories(velmara_engine_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velmara_engine_test_support PUBLIC velmara_engine velmara_stand_ins PRIVATE pos_warnings pos_windows_tests)
if(WIN32)
  # The tests read back what the spooler holds through winspool itself.
  target_link_libraries(velmara_engine_test_support PUBLIC winspool)
endif()

# The contract of the disk and the spooler; under Wine it creates and deletes real drivers and
# printers.
pos_add_test(NAME velmara_services_contract_test
  SOURCES services_contract_test.cpp
  LIBRARIES velmara_engine_test_support gtest_main
  LOCKS spooler)

# The engine on the in-memory stand-ins.
pos_add_test(NAME velmara_engine_test
  SOURCES engine_test.cpp
  LIBRARIES velmara_engine_test_support gtest_main)

if(WIN32)
  # winspool.drv, setupapi.dll and comctl32.dll as the program loads them.
  pos_add_test(NAME velmara_system_libraries_test
    SOURCES system_libraries_test.cpp
    LIBRARIES velmara_engine_test_support velmara_usb gtest_main)
  add_dependencies(velmara_system_libraries_test pos_planted_dll)

  # Whole installations against the real spooler: they create and delete drivers and printers.
  pos_add_test(NAME velmara_engine_wine_test
    SOURCES engine_wine_test.cpp
    LIBRARIES velmara_engine_test_support gtest_main
    LOCKS spooler)
endif()

# A benchmark, not a test: tools/bench.sh runs it.
add_executable(velmara_bench_unique_name bench_unique_name.cpp)
target_link_libraries(velmara_bench_unique_name PRIVATE velmara_engine_test_support pos_warnings pos_windows_tests)

if(WIN32)
  # The start-up on a Windows that lacks a function it looks up at run time.
  pos_add_test(NAME velmara_lookups_test
    SOURCES win32_lookups_test.cpp
    LIBRARIES velmara_engine_test_support gtest_main pos_window_driver)
endif()
