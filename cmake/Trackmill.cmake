# Every source folder is one library made of the .cpp files it holds, so adding a
# unit never needs a build-file edit. USES names the folders its sources may include
# (besides its own; "os" is the platform interface), QT the Qt modules it may use,
# NATIVE that it may call POSIX or Windows directly; the build fails when a source uses
# anything else, so the layers stay as the README's table draws them. LIBS are what it links.

# The include folders of Qt modules, for the layer check.
function(trackmill_qt_dirs out)
  set(_dirs)
  foreach(_m ${ARGN})
    get_target_property(_inc Qt6::${_m} INTERFACE_INCLUDE_DIRECTORIES)
    foreach(_d ${_inc})
      get_filename_component(_n ${_d} NAME)
      if(_n STREQUAL "Qt${_m}")
        list(APPEND _dirs ${_d})
      endif()
    endforeach()
  endforeach()
  set(${out} ${_dirs} PARENT_SCOPE)
endfunction()

function(trackmill_check_layers target layer)
  cmake_parse_arguments(L "NATIVE" "" "USES;QT;SOURCES" ${ARGN})
  string(REPLACE "/" "_" _stampname ${target})
  set(_stamp ${CMAKE_CURRENT_BINARY_DIR}/${_stampname}.layers)
  trackmill_qt_dirs(_qt ${L_QT})
  set(_native OFF)
  if(L_NATIVE)
    set(_native ON)
  endif()
  add_custom_command(OUTPUT ${_stamp}
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${layer} "-DALLOWED=${L_USES}" "-DQT_DIRS=${_qt}" -DNATIVE=${_native}
            "-DSOURCES=${L_SOURCES}" -DSTAMP=${_stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
    DEPENDS ${L_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMENT "Checking the includes of src/${layer}/" VERBATIM)
  add_custom_target(${target}_layers DEPENDS ${_stamp})
  add_dependencies(${target} ${target}_layers)
endfunction()

# A library of one layer: the .cpp and .h files of `folder` (and of EXTRA folders).
function(trackmill_library name layer)
  cmake_parse_arguments(T "NATIVE" "" "USES;LIBS;QT;EXTRA" ${ARGN})
  set(_sources)
  foreach(_folder ${CMAKE_SOURCE_DIR}/src/${layer} ${T_EXTRA})
    file(GLOB _found CONFIGURE_DEPENDS ${_folder}/*.cpp ${_folder}/*.h)
    list(APPEND _sources ${_found})
  endforeach()
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${T_LIBS})
  set(_native)
  if(T_NATIVE)
    set(_native NATIVE)
  endif()
  trackmill_check_layers(${name} ${layer} USES ${T_USES} QT ${T_QT} ${_native} SOURCES ${_sources})
endfunction()
# The tests read the programs' English texts, whatever language the machine speaks (the
# test binaries see to it themselves: tests/support/TestSupport.cpp).
set(TRACKMILL_TEST_LANGUAGE_ENV "LANG=C.UTF-8;LC_ALL=;LC_MESSAGES=;LANGUAGE=")

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

# A manual page from data/man/, compressed as Debian wants it (no time stamp inside, so
# a rebuild gives the same bytes) and installed with the program `target`, which depends
# on it so that building the program alone leaves everything to install.
function(trackmill_man_page target page section)
  set(_source ${CMAKE_SOURCE_DIR}/data/man/${page}.${section})
  set(_gz ${CMAKE_BINARY_DIR}/man/${page}.${section}.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${_source} ${_gz}
    DEPENDS ${_source} VERBATIM)
  add_custom_target(${page}_man DEPENDS ${_gz})
  add_dependencies(${target} ${page}_man)
  include(GNUInstallDirs)
  install(FILES ${_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
