# qz_library(<target> DEPS <targets...> [LIBS <system libs...>]
#            [TESTING_LIBS <libs...>] [TEST_LIBS <libs...>])
# Builds every *.cpp of the folder into one static library, and every
# tests/*.cpp into one test executable labelled with the target's name.
#
# Test support (harnesses, recording doubles) lives in the folder's testing/
# subfolder and becomes library <target>_testing, linked to <target>, to the
# test support of the libraries it builds on and to TESTING_LIBS. Only test
# executables and fuzzers link it; the program never does. A library's tests
# link the test support of the library and of everything below it, so
# `#include "GuiTesting.h"` works in every test above the GUI layer.
#
# Layers: DEPS names only libraries the layer rules allow (QZ_PLATFORM and
# QZ_USES_<target> in the top-level CMakeLists.txt, docs/TREE.md): a platform
# library uses the platform libraries added before it; any other library uses
# the platform and what its QZ_USES_<target> lists. Anything else stops the
# configure.
function(qz_library name)
  cmake_parse_arguments(Q "" "" "DEPS;LIBS;TEST_LIBS;TESTING_LIBS" ${ARGN})
  get_property(known GLOBAL PROPERTY QZ_LIBRARIES)
  foreach(dep ${Q_DEPS})
    if(dep IN_LIST QZ_PLATFORM AND dep IN_LIST known)
      continue()   # the platform, below every other library
    endif()
    if(NOT name IN_LIST QZ_PLATFORM AND dep IN_LIST QZ_USES_${name} AND dep IN_LIST known)
      continue()
    endif()
    message(FATAL_ERROR "Library '${name}' may not depend on '${dep}': calls run from "
      "higher layers to lower ones only, as QZ_PLATFORM and QZ_USES_${name} in "
      "CMakeLists.txt say (docs/TREE.md). System libraries go under LIBS.")
  endforeach()
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${Q_DEPS} ${Q_LIBS})
  target_compile_options(${name} PRIVATE -Wall -Wno-unused-parameter)
  set_target_properties(${name} PROPERTIES QZ_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY QZ_LIBRARIES ${name})

  # The test support of the libraries below, then this library's own.
  set(support)
  foreach(dep ${Q_DEPS})
    if(TARGET ${dep})
      get_target_property(dep_support ${dep} QZ_TEST_SUPPORT)
      if(dep_support)
        list(APPEND support ${dep_support})
      endif()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES support)
  file(GLOB ssrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/testing/*.cpp)
  if(ssrcs)
    add_library(${name}_testing STATIC ${ssrcs})
    target_include_directories(${name}_testing PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/testing)
    target_link_libraries(${name}_testing PUBLIC ${name} ${support} ${Q_TESTING_LIBS})
    target_compile_options(${name}_testing PRIVATE -Wall -Wno-unused-parameter)
    list(APPEND support ${name}_testing)
  endif()
  set_target_properties(${name} PROPERTIES QZ_TEST_SUPPORT "${support}")
  file(GLOB tsrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(tsrcs)
    add_executable(${name}_tests ${tsrcs})
    target_link_libraries(${name}_tests PRIVATE ${name} ${support} ${Q_TEST_LIBS}
      GTest::gtest GTest::gtest_main)
    target_include_directories(${name}_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    target_compile_definitions(${name}_tests PRIVATE
      QZ_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
      QZ_BINARY_DIR="${CMAKE_BINARY_DIR}"
      QZ_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
    add_dependencies(qz_tests ${name}_tests)
    add_test(NAME ${name} COMMAND ${name}_tests --gtest_brief=1)
    set(env "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
    if(QZ_SANITIZE)
      # Undefined behaviour stops the test like a crash. Leaks of the system's
      # libraries that we cannot mend are listed in tools/lsan.supp; strndup is
      # not checked, as the keyboard library of the real display overreads
      # with it (the test that runs on a real display uses that library).
      list(APPEND env
        "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
        "ASAN_OPTIONS=detect_leaks=1:intercept_strndup=0"
        "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tools/lsan.supp:print_suppressions=0")
    endif()
    set_tests_properties(${name} PROPERTIES LABELS ${name} ENVIRONMENT "${env}" TIMEOUT 900)
  endif()
endfunction()

# Every public header of every library compiled in one file: names from
# different libraries share the global namespace, so a clash shows up here
# at build time rather than in the first file that happens to include both.
function(qz_header_check)
  get_property(libs GLOBAL PROPERTY QZ_LIBRARIES)
  set(text "// Generated: every public header of the tree, together.\n")
  foreach(lib ${libs})
    get_target_property(dir ${lib} QZ_SOURCE_DIR)
    file(GLOB hdrs ${dir}/*.h ${dir}/testing/*.h)
    foreach(h ${hdrs})
      get_filename_component(n ${h} NAME)
      if(NOT n MATCHES "Private|Impl")
        string(APPEND text "#include \"${h}\"\n")
      endif()
    endforeach()
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/qz_all_headers.cpp.in "${text}")
  configure_file(${CMAKE_BINARY_DIR}/qz_all_headers.cpp.in ${CMAKE_BINARY_DIR}/qz_all_headers.cpp COPYONLY)
  add_library(qz_all_headers OBJECT ${CMAKE_BINARY_DIR}/qz_all_headers.cpp)
  set(support)
  foreach(lib ${libs})
    if(TARGET ${lib}_testing)
      list(APPEND support ${lib}_testing)
    endif()
  endforeach()
  target_link_libraries(qz_all_headers PRIVATE ${libs} ${support})
endfunction()
