# kestova_add_tests(<name> SOURCES ... LIBS ... [GUI] [LABELS <label>] [LOCK <resource>])
# One test executable per room; GUI tests get a QApplication (offscreen) from
# the shared test main, the others the plain GoogleTest main. Tests of
# executables that name the same LOCK never run at the same time.
if(KESTOVA_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(kestova_add_tests name)
  if(NOT KESTOVA_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "GUI" "LABELS;LOCK" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} kestova_gui_test_main GTest::gtest GTest::gmock Qt6::Test)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  target_compile_definitions(${name} PRIVATE KESTOVA_TESTDATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
  set(labels "")
  if(ARG_LABELS)
    set(labels LABELS ${ARG_LABELS})
  endif()
  if(ARG_LOCK)
    list(APPEND labels RESOURCE_LOCK ${ARG_LOCK})
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ${labels} ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    DISCOVERY_TIMEOUT 120)
endfunction()

# kestova_add_benchmark(<name> SOURCES ... LIBS ...): a timed command, not run by CTest.
function(kestova_add_benchmark name)
  if(NOT KESTOVA_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

# kestova_add_fuzzer(<name> SOURCES ... LIBS ... [SEEDS <dir or file>...])
# The sources define LLVMFuzzerTestOneInput. With KESTOVA_FUZZ (clang) this is a
# libFuzzer binary; in the test build the same entry replays every file of
# SEEDS as a CTest test, so the seeds and past crashes stay checked.
function(kestova_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;SEEDS" ${ARGN})
  if(KESTOVA_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  elseif(KESTOVA_TESTS AND ARG_SEEDS)
    add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/testing/FuzzReplayMain.cpp)
    target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
    add_test(NAME ${name}_replay COMMAND ${name}_replay ${ARG_SEEDS})
  endif()
endfunction()
