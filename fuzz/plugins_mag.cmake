# The MAG, Pi and XLD4 decoders. Seeds: small files of our own (hand-made fixtures and pictures
# from the tests' Pi and XLD4 encoders), every crash found, and the MAG and Pi samples when present.
zorvane_fuzz_target(mag SOURCES ${CMAKE_SOURCE_DIR}/plugins/ifmag/mag_fuzz.cpp
  LIBS zorvane_mag_decoder SAMPLE_DIRS files/mag)
zorvane_fuzz_target(pi SOURCES ${CMAKE_SOURCE_DIR}/plugins/ifpi/pi_fuzz.cpp
  LIBS zorvane_pi_decoder SAMPLE_DIRS files/pi)
zorvane_fuzz_target(xld4 SOURCES ${CMAKE_SOURCE_DIR}/plugins/ifxld4/xld4_fuzz.cpp
  LIBS zorvane_xld4_decoder)
