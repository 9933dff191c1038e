# Fuzz targets. Each target is one source file defining LLVMFuzzerTestOneInput. It is built twice:
#  - with ZORVANE_FUZZ (clang), as a libFuzzer binary `fuzz_<name>` to run for a while by hand;
#  - always, as `replay_<name>`, a plain driver that feeds every file of the corpus folders to the
#    target once. CTest runs the replays under the label `fuzz`; CI runs them in a sanitizer build.
# Corpus folders: fuzz/corpus/<name>/ in the repository (seeds we made and every crash found) and,
# when present, the given sample folders.
# A fuzz build instruments every library for coverage, so the fuzzer sees the decoders' branches.
if(ZORVANE_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

function(zorvane_fuzz_target name)
  cmake_parse_arguments(ZF "" "" "SOURCES;LIBS;SAMPLE_DIRS" ${ARGN})
  set(corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  add_executable(replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp ${ZF_SOURCES})
  target_link_libraries(replay_${name} PRIVATE ${ZF_LIBS})
  zorvane_plugin_host(replay_${name})
  set(dirs ${corpus})
  foreach(d ${ZF_SAMPLE_DIRS})
    list(APPEND dirs ${CMAKE_SOURCE_DIR}/../shared/samples/${d})
  endforeach()
  add_test(NAME fuzz_replay_${name} COMMAND replay_${name} ${dirs})
  set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS fuzz
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  if(TARGET fuzz_replay_all)
    add_dependencies(fuzz_replay_all replay_${name})
  endif()
  if(ZORVANE_FUZZ)
    add_executable(fuzz_${name} ${ZF_SOURCES})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_${name} PRIVATE ${ZF_LIBS})
    zorvane_plugin_host(fuzz_${name})
  endif()
endfunction()
