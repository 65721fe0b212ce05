include(CTest)

# korvane_add_gtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Builds one GoogleTest program and registers each of its tests with CTest.
function(korvane_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main Threads::Threads)
  korvane_warnings(${name})
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300)
endfunction()

# korvane_add_fuzz_target(<name> SOURCES <files...> LIBS <targets...> CORPUS <dir>)
# With KORVANE_FUZZ (clang) this is a libFuzzer program. Otherwise the same entry point
# is linked with a replay driver and CTest runs it over the seed corpus, so every test
# run exercises the parser with the stored inputs.
function(korvane_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  korvane_warnings(${name})
  if(KORVANE_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    if(BUILD_TESTING)
      add_test(NAME ${name}.corpus COMMAND ${name} ${ARG_CORPUS})
      set_tests_properties(${name}.corpus PROPERTIES LABELS fuzz-corpus)
    endif()
  endif()
endfunction()
