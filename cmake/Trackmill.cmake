# Every source folder is one library made of the .cpp files it holds, so adding a
# unit never needs a build-file edit. USES names the folders its sources may include
# (besides its own); the build fails when a source includes any other, so the layers
# stay as the README's table draws them. LIBS are what it links.
function(trackmill_check_layers target folder)
  cmake_parse_arguments(L "" "" "USES;SOURCES" ${ARGN})
  get_filename_component(_name ${folder} NAME)
  set(_stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.layers)
  add_custom_command(OUTPUT ${_stamp}
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${_name} "-DALLOWED=${L_USES}" "-DSOURCES=${L_SOURCES}"
            -DSTAMP=${_stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
    DEPENDS ${L_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMENT "Checking the includes of src/${_name}/" VERBATIM)
  add_custom_target(${target}_layers DEPENDS ${_stamp})
  add_dependencies(${target} ${target}_layers)
endfunction()

function(trackmill_library name folder)
  cmake_parse_arguments(T "" "" "USES;LIBS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${T_LIBS})
  trackmill_check_layers(${name} ${folder} USES ${T_USES} SOURCES ${_sources})
endfunction()

# One test binary per test folder; every TEST in it becomes a CTest test.
# QT in the arguments gives the binary a main that starts an offscreen QApplication.
function(trackmill_test_folder name folder)
  cmake_parse_arguments(T "QT" "" "LIBS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  if(NOT _sources)
    return()
  endif()
  add_executable(${name} ${_sources} ${CMAKE_SOURCE_DIR}/tests/support/TestSupport.cpp
                 ${CMAKE_SOURCE_DIR}/tests/support/HostileFiles.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Qt6::Core)
  if(T_QT)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    TRACKMILL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TRACKMILL_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # The shared corpus is not part of the project: its tests exist only where it does.
  set(_corpus ${CMAKE_SOURCE_DIR}/../shared/corpus)
  set(_filter)
  if(NOT IS_DIRECTORY ${_corpus})
    set(_filter TEST_FILTER "-*Corpus*")
  endif()
  target_compile_definitions(${name} PRIVATE TRACKMILL_CORPUS_DIR="${_corpus}")
  gtest_discover_tests(${name} ${_filter} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
