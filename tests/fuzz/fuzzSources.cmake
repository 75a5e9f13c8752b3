# The plugin's sources the fuzz targets (tests/fuzz/targets/) are linked with
# when built natively: the pure text and byte rules, and the stand-ins for the
# few Windows calls they make. One list for scripts/fuzz.sh and for the test
# that builds every target (fuzz_targets_build), so that a target needing a
# source missing here fails the test, not the next fuzzing run.
#   cmake -P tests/fuzz/fuzzSources.cmake     prints the list, one path a line
set(FUZZ_RULE_SOURCES
  src/runtime/text.cpp
  src/runtime/pieces.cpp
  src/runtime/heap.cpp
  src/describe/descriptionText.cpp
  src/describe/versionText.cpp
  src/state/pluginFolder.cpp
  src/foreign/langFileText.cpp
  src/cache/cacheIndex.cpp
  src/dll/peImageFacts.cpp
  src/dll/peVersion.cpp
  tests/fuzz/native/standIn.cpp
  tests/fuzz/fuzzTarget.cpp)
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  foreach(source ${FUZZ_RULE_SOURCES})
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${source})
  endforeach()
endif()
