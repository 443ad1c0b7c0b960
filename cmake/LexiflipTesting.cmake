# lexiflip_add_test(<name> LABEL <layer> SOURCES <files...> LIBS <targets...> [QT])
#
# Builds one GoogleTest executable and registers each of its tests with CTest,
# labelled with the layer it tests (engine, compress, net, client, windows, e2e),
# so that `ctest -L <layer>` runs one layer. QT marks a test that needs Qt's
# offscreen platform and a private runtime directory.
include(GoogleTest)
find_package(GTest REQUIRED)

function(lexiflip_add_test name)
  cmake_parse_arguments(T "QT" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "lexiflip_add_test(${name}): LABEL is required")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set(env "LEXIFLIP_SOURCE_DIR=${PROJECT_SOURCE_DIR}" "LEXIFLIP_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(T_QT)
    list(APPEND env "QT_QPA_PLATFORM=offscreen" "XDG_RUNTIME_DIR=${PROJECT_BINARY_DIR}/xdg-runtime"
         "HOME=${PROJECT_BINARY_DIR}/test-home")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}")
endfunction()
