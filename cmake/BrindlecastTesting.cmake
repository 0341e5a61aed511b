# bc_add_gtest(NAME <name> LABELS <label...> SOURCES <src...> [LIBS <lib...>])
# One GoogleTest executable; each test case becomes its own CTest test with the labels.
include(GoogleTest)

set(BC_TEST_AREAS foundation movie compiler parser host text effects addin e2e)

function(bc_add_gtest)
  cmake_parse_arguments(T "" "NAME" "LABELS;SOURCES;LIBS" ${ARGN})
  foreach(label ${T_LABELS})
    if(NOT label IN_LIST BC_TEST_AREAS)
      message(FATAL_ERROR "${T_NAME}: unknown test label '${label}'")
    endif()
  endforeach()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
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
