# gz_module(NAME name DEPS ...): a static library from the folder's *.cpp,
# and, when the folder has tests/*.cpp, one GoogleTest executable for them.
function(gz_module)
  cmake_parse_arguments(M "" "NAME" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
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
    file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
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
