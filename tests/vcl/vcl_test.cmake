# A GoogleTest executable for the window layer and the windows: like zorvane_test(... QT), but
# with the program's own Qt application in its main().
set(ZORVANE_VCL_TEST_MAIN ${CMAKE_CURRENT_LIST_DIR}/vcl_test_main.cpp)
function(zorvane_vcl_test target)
  cmake_parse_arguments(ZT "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ZORVANE_VCL_TEST_MAIN} ${ZT_SOURCES})
  target_link_libraries(${target} PRIVATE ${ZT_LIBS} zorvane_vcl zorvane_test_support
    GTest::gtest Qt6::Widgets Qt6::Test)
  zorvane_plugin_host(${target})
  set(labels unit)
  if(ZT_LABELS)
    set(labels ${ZT_LABELS})
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
