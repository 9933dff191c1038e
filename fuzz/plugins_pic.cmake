# The PIC and PIC2 decoders. Seeds: small files of our own (hand-made fixtures and pictures from
# the tests' PIC2 writer) and the PIC samples when present.
zorvane_fuzz_target(pic SOURCES ${CMAKE_SOURCE_DIR}/plugins/ifpic/pic_fuzz.cpp
  LIBS zorvane_pic_decoder SAMPLE_DIRS files/pic)
zorvane_fuzz_target(pic2 SOURCES ${CMAKE_SOURCE_DIR}/plugins/ifpic2/pic2_fuzz.cpp
  LIBS zorvane_pic2_decoder)
