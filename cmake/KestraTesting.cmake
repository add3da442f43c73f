# Test programs: one GoogleTest program per module, run through CTest.
#
# kestra_add_test(NAME name SOURCES ... [LIBS ...] [DISPLAY] [SAMPLES]
#                 [TIMEOUT seconds] [LABELS ...])
#   DISPLAY  runs the program under its own Xvfb server with Mesa llvmpipe
#            and SDL's dummy audio driver (scripts/run-with-display.sh).
#   SAMPLES  needs the generated sample recordings; they are made once by the
#            "samples" fixture and their folder is passed as KESTRA_SAMPLES_DIR.
#
# Each test program is built into build/tests/<name>/, which is its own
# program folder, so a test may place data files beside its program without
# disturbing other tests.

if(KESTRA_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
endif()

set(KESTRA_SAMPLES_DIR ${CMAKE_BINARY_DIR}/samples)
set(KESTRA_DISPLAY_WRAPPER ${CMAKE_SOURCE_DIR}/scripts/run-with-display.sh)
set(KESTRA_LSAN_SUPPRESSIONS ${CMAKE_SOURCE_DIR}/scripts/lsan-suppressions.txt)

function(kestra_add_test)
  cmake_parse_arguments(ARG "DISPLAY;SAMPLES" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock ${ARG_LIBS})
  set_target_properties(${ARG_NAME} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${ARG_NAME}
    BUILD_RPATH "${KESTRA_BIN_DIR}")
  if(KESTRA_SANITIZE)
    target_sources(${ARG_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/harness/keep_libraries_loaded.cpp)
    target_link_options(${ARG_NAME} PRIVATE -Wl,--export-dynamic-symbol=dlclose)
  endif()
  target_compile_definitions(${ARG_NAME} PRIVATE
    KESTRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KESTRA_BIN_DIR="${KESTRA_BIN_DIR}"
    KESTRA_SAMPLES_DIR="${KESTRA_SAMPLES_DIR}")

  set(command $<TARGET_FILE:${ARG_NAME}>)
  if(ARG_DISPLAY)
    set(command ${KESTRA_DISPLAY_WRAPPER} ${command})
  endif()
  add_test(NAME ${ARG_NAME} COMMAND ${command})

  set(timeout 300)
  if(ARG_TIMEOUT)
    set(timeout ${ARG_TIMEOUT})
  endif()
  set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT ${timeout}
    ENVIRONMENT "KESTRA_SAMPLES_DIR=${KESTRA_SAMPLES_DIR};KESTRA_MESSAGEBOX=stderr;LSAN_OPTIONS=suppressions=${KESTRA_LSAN_SUPPRESSIONS}")
  if(ARG_SAMPLES)
    set_property(TEST ${ARG_NAME} APPEND PROPERTY FIXTURES_REQUIRED samples)
  endif()
  if(ARG_DISPLAY)
    set_property(TEST ${ARG_NAME} APPEND PROPERTY LABELS display)
  endif()
  if(ARG_LABELS)
    set_property(TEST ${ARG_NAME} APPEND PROPERTY LABELS ${ARG_LABELS})
  endif()
endfunction()
