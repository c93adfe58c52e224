# Warnings as errors on the project's own code only.
function(kov_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# One static library per layer folder, named kov_<folder>; the link graph enforces the layering.
function(kov_layer name)
  file(GLOB _src CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp ${PROJECT_SOURCE_DIR}/src/${name}/*.h)
  add_library(kov_${name} STATIC ${_src} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(kov_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(kov_${name} PUBLIC ${ARGN})
  kov_warnings(kov_${name})
endfunction()

# A GoogleTest executable for one test folder, registered with CTest under a label.
# Folders labelled gui get an entry point that owns a QApplication.
function(kov_test_folder folder label)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT _src)
    return()
  endif()
  add_executable(kov_${folder}_tests ${_src})
  if(label STREQUAL "unit")
    set(_main GTest::gtest_main)
  else()
    set(_main kov_guitest_main)
  endif()
  target_link_libraries(kov_${folder}_tests PRIVATE kov_testsupport ${ARGN} ${_main} GTest::gtest GTest::gmock)
  kov_warnings(kov_${folder}_tests)
  gtest_discover_tests(kov_${folder}_tests
    TEST_PREFIX "${folder}."
    PROPERTIES LABELS "${label}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KOV_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()
