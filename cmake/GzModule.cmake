# gz_module(NAME name [DIR folder] DEPS ...): a static library from the
# *.cpp of the current folder, or of its sub-folder DIR, and, when that folder
# has tests/*.cpp, one GoogleTest executable for them.
function(gz_module)
  cmake_parse_arguments(M "" "NAME;DIR" "DEPS;TEST_DEPS" ${ARGN})
  set(_dir ${CMAKE_CURRENT_SOURCE_DIR})
  if(M_DIR)
    set(_dir ${_dir}/${M_DIR})
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${_dir}/*.cpp)
  if(_src)
    add_library(gz_${M_NAME} STATIC ${_src})
    target_include_directories(gz_${M_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(gz_${M_NAME} PUBLIC ${M_DEPS})
  else()  # a module whose sources are not written yet
    add_library(gz_${M_NAME} INTERFACE)
    target_include_directories(gz_${M_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(gz_${M_NAME} INTERFACE ${M_DEPS})
  endif()
  if(GZ_BUILD_TESTS)
    file(GLOB _tests CONFIGURE_DEPENDS ${_dir}/tests/*.cpp)
    if(_tests)
      add_executable(gz_${M_NAME}_tests ${_tests})
      target_link_libraries(gz_${M_NAME}_tests PRIVATE gz_${M_NAME} ${M_TEST_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
      target_compile_definitions(gz_${M_NAME}_tests PRIVATE
        GZ_TEST_DATA="${PROJECT_SOURCE_DIR}/testdata"
        GZ_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
      gtest_discover_tests(gz_${M_NAME}_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()
