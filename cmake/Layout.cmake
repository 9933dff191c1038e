# Where things land in the build tree; the same relative layout is used after install, so the
# program finds its plug-ins through RUNPATH in both places.
set(ZORVANE_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(ZORVANE_PLUGIN_DIR ${CMAKE_BINARY_DIR}/lib/zorvane)
set(ZORVANE_INSTALL_PLUGIN_DIR ${CMAKE_INSTALL_LIBDIR}/zorvane)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${ZORVANE_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${ZORVANE_PLUGIN_DIR})
set(CMAKE_INSTALL_RPATH_USE_LINK_PATH OFF)

# An executable that loads plug-ins by bare file name.
function(zorvane_plugin_host target)
  set_target_properties(${target} PROPERTIES
    BUILD_RPATH "\$ORIGIN/../lib/zorvane"
    INSTALL_RPATH "\$ORIGIN/../${CMAKE_INSTALL_LIBDIR}/zorvane")
endfunction()

# A plug-in: a shared object with an exact file name such as ifjpeg.spi, next to the memory-handle
# library it links.
function(zorvane_plugin target file_stem)
  set_target_properties(${target} PROPERTIES
    PREFIX "" SUFFIX ".spi" OUTPUT_NAME ${file_stem}
    LIBRARY_OUTPUT_DIRECTORY ${ZORVANE_PLUGIN_DIR}
    C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden
    BUILD_RPATH "\$ORIGIN" INSTALL_RPATH "\$ORIGIN")
  target_link_libraries(${target} PRIVATE zorvane_spi_common zorvane_memhandle)
  install(TARGETS ${target} LIBRARY DESTINATION ${ZORVANE_INSTALL_PLUGIN_DIR})
endfunction()

# A GoogleTest executable run by CTest. QT: it gets a QApplication (offscreen) in its main();
# VCL: the program's own Qt application instead, as the window layer and the windows need.
function(zorvane_test target)
  cmake_parse_arguments(ZT "QT;VCL" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(ZT_VCL)
    add_executable(${target} ${ZORVANE_TEST_MAIN_VCL} ${ZT_SOURCES})
    target_link_libraries(${target} PRIVATE zorvane_vcl Qt6::Widgets Qt6::Test)
  elseif(ZT_QT)
    add_executable(${target} ${ZORVANE_TEST_MAIN_QT} ${ZT_SOURCES})
    target_link_libraries(${target} PRIVATE Qt6::Widgets Qt6::Test)
  else()
    add_executable(${target} ${ZORVANE_TEST_MAIN_PLAIN} ${ZT_SOURCES})
  endif()
  target_link_libraries(${target} PRIVATE ${ZT_LIBS} zorvane_test_support GTest::gtest)
  zorvane_plugin_host(${target})
  set(labels unit)
  if(ZT_LABELS)
    set(labels ${ZT_LABELS})
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
