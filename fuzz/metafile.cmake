# The WMF and EMF player (vcl/metafile). Its sources are compiled into each target, so that a
# libFuzzer build instruments them; they need only Qt's GUI module and the platform layer.
file(GLOB metafile_player_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/vcl/metafile/*.cpp)
foreach(format wmf emf)
  zorvane_fuzz_target(${format}
    SOURCES ${CMAKE_SOURCE_DIR}/tests/metafile/metafile_fuzz.cpp ${metafile_player_sources}
    LIBS zorvane_platform Qt6::Gui
    SAMPLE_DIRS files/${format})
  target_include_directories(replay_${format} PRIVATE ${CMAKE_SOURCE_DIR})
  if(TARGET fuzz_${format})
    target_include_directories(fuzz_${format} PRIVATE ${CMAKE_SOURCE_DIR})
  endif()
endforeach()
