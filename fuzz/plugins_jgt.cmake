# Fuzz targets of the JPEG, GIF and TIFF plug-ins: each links its decoder library and the
# plug-in's entry points directly, so no plug-in is loaded.
foreach(format jpeg gif tiff)
  if(TARGET zorvane_${format}_decoder)
    zorvane_fuzz_target(${format}
      SOURCES ${CMAKE_SOURCE_DIR}/plugins/if${format}/if${format}_fuzz.cpp
              ${CMAKE_SOURCE_DIR}/plugins/if${format}/if${format}.cpp
      LIBS zorvane_${format}_decoder
      SAMPLE_DIRS files/${format})
    if(ZORVANE_FUZZ)
      # The decoder's own code needs coverage feedback too, not just the target's.
      target_compile_options(zorvane_${format}_decoder PRIVATE
        -fsanitize=fuzzer-no-link,address,undefined)
    endif()
  endif()
endforeach()
