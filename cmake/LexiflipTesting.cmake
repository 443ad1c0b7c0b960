# lexiflip_add_test(<name> LABEL <layer> SOURCES <files...> LIBS <targets...> [QT])
#
# Builds one GoogleTest executable and registers each of its tests with CTest,
# labelled with the layer it tests (core, wire, engine, compress, net, host, client, windows, e2e),
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
  # Local network discovery in a test reaches this machine alone, whatever
  # the test starts; the game records a test's windows keep stay in the build
  # folder, never among the user's own.
  set(env "LEXIFLIP_SOURCE_DIR=${PROJECT_SOURCE_DIR}" "LEXIFLIP_BINARY_DIR=${PROJECT_BINARY_DIR}"
          "LEXIFLIP_DISCOVERY_ADDRESS=127.0.0.1" "XDG_DATA_HOME=${PROJECT_BINARY_DIR}/test-home/.local/share")
  if(T_QT)
    list(APPEND env "QT_QPA_PLATFORM=offscreen" "XDG_RUNTIME_DIR=${PROJECT_BINARY_DIR}/xdg-runtime"
         "HOME=${PROJECT_BINARY_DIR}/test-home")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    TEST_LIST ${name}_TESTS
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT})
  # gtest_discover_tests flattens its PROPERTIES, so a list of variables would
  # reach the tests as its first entry only. Set the environment from a script
  # that ctest runs after the discovered tests are known.
  set(env_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
  file(WRITE ${env_script}
    "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT \"${env}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_script})
endfunction()
