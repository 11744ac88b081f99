# kestova_add_tests(<name> SOURCES ... LIBS ... [GUI])
# One test executable per room; GUI tests get a QApplication (offscreen) from
# the shared test main, the others the plain GoogleTest main.
if(KESTOVA_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(kestova_add_tests name)
  if(NOT KESTOVA_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} kestova_gui_test_main GTest::gtest GTest::gmock Qt6::Test)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  target_compile_definitions(${name} PRIVATE KESTOVA_TESTDATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
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
