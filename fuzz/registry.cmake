# The registry's hive file parser (platform/registry_hive).
zorvane_fuzz_target(registry_hive
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_hive.cpp
  LIBS zorvane_platform)
