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
  set_target_properties(${name} PROPERTIES QZ_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY QZ_LIBRARIES ${name})
  file(GLOB tsrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(tsrcs)
    add_executable(${name}_tests ${tsrcs})
    target_link_libraries(${name}_tests PRIVATE ${name} ${Q_TEST_LIBS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name}_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    target_compile_definitions(${name}_tests PRIVATE
      QZ_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
      QZ_BINARY_DIR="${CMAKE_BINARY_DIR}"
      QZ_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name}_tests --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS ${name}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 900)
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
    file(GLOB hdrs ${dir}/*.h)
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
  target_link_libraries(qz_all_headers PRIVATE ${libs})
endfunction()
