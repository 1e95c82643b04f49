# trenov5x_area_library(<name> <Qt libs...>): a static library of every .cpp in
# the current source folder and its sub-folders.
function(trenov5x_area_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# trenov5x_area_tests(<libs...>): one Qt Test executable per tst_*.cpp of the
# current folder, registered with CTest under the offscreen platform.
function(trenov5x_area_tests)
  get_filename_component(area ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/helper_*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/helper_*.h)
  foreach(test ${tests})
    get_filename_component(stem ${test} NAME_WE)
    set(target ${area}_${stem})
    add_executable(${target} ${test} ${helpers})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
    target_link_libraries(${target} PRIVATE Qt6::Test ${ARGN})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${target} PRIVATE
      TRENOV5X_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
      TRENOV5X_PROGRAM_DIR="${TRENOV5X_PROGRAM_DIR}"
      TRENOV5X_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      TRENOV5X_VERSION="${PROJECT_VERSION}")
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;ASAN_OPTIONS=detect_leaks=1"
      TIMEOUT 300)
  endforeach()
endfunction()
