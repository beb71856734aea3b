# qz_library(<target> DEPS <targets...> [LIBS <system libs...>])
# Builds every *.cpp of the folder into one static library, and every
# tests/*.cpp into one test executable labelled with the target's name.
function(qz_library name)
  cmake_parse_arguments(Q "" "" "DEPS;LIBS;TEST_LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${Q_DEPS} ${Q_LIBS})
  target_compile_options(${name} PRIVATE -Wall -Wno-unused-parameter)
  file(GLOB tsrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(tsrcs)
    add_executable(${name}_tests ${tsrcs})
    target_link_libraries(${name}_tests PRIVATE ${name} ${Q_TEST_LIBS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name}_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    target_compile_definitions(${name}_tests PRIVATE
      QZ_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
      QZ_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name}_tests --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS ${name}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 900)
  endif()
endfunction()
