# bc_add_gtest(NAME <name> SOURCES <src...> [LIBS <lib...>])
# One GoogleTest executable; each test case becomes its own CTest test. Its label is the test
# area it lives in: the first folder below tests/ (tests/<label>/<area>/).
include(GoogleTest)

set(BC_TEST_AREAS foundation movie compiler parser host text effects addin e2e)

# bc_test_label(<var>): the label of the tests in the current folder, tests/<label>/...
function(bc_test_label var)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" label "${rel}")
  if(NOT label IN_LIST BC_TEST_AREAS)
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: tests live in tests/<label>/<area>/, label one of ${BC_TEST_AREAS}")
  endif()
  set(${var} ${label} PARENT_SCOPE)
endfunction()

function(bc_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  bc_test_label(T_LABELS)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} bc_test_support GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_compile_definitions(${T_NAME} PRIVATE
    BC_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    BC_BINARY_DIR="${CMAKE_BINARY_DIR}"
    BC_CORPUS_DIR="${CMAKE_SOURCE_DIR}/../shared/corpus/ppt")
  gtest_discover_tests(${T_NAME}
    PROPERTIES LABELS "${T_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# bc_add_child_folders(): adds every subfolder of the current folder that has a CMakeLists.txt
# and is not listed in BC_EXCLUDE (as "<folder>/<child>"), in name order.
function(bc_add_child_folders)
  file(RELATIVE_PATH here ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt AND NOT "${here}/${child}" IN_LIST BC_EXCLUDE)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
