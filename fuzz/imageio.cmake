# Our BMP and icon/cursor readers (vcl/graphics), fed whole files.
zorvane_fuzz_target(bmp_reader
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bmp_reader.cpp
  LIBS zorvane_vcl
  SAMPLE_DIRS files/bmp)
zorvane_fuzz_target(ico_reader
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ico_reader.cpp
  LIBS zorvane_vcl
  SAMPLE_DIRS files/ico)
