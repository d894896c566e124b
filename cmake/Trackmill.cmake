# Every source folder is one library made of the .cpp files it holds, so adding a
# unit never needs a build-file edit. USES names the folders its sources may include
# (besides its own; "os" is the platform interface), QT the Qt modules it may use,
# NATIVE that it may include the system's own headers; the build fails when a source
# includes anything else, so the layers stay as the README's table draws them. LIBS are
# what it links.

# A row of the layer table: what the files below src/<folder>/ may include (the deepest
# folder of the table holding a file decides its row).
function(trackmill_layer folder)
  cmake_parse_arguments(L "NATIVE" "" "USES;QT" ${ARGN})
  set(_native OFF)
  if(L_NATIVE)
    set(_native ON)
  endif()
  set(_row "USES=${L_USES}|QT=${L_QT}|NATIVE=${_native}")
  get_property(_known GLOBAL PROPERTY TRACKMILL_LAYER_${folder} SET)
  get_property(_old GLOBAL PROPERTY TRACKMILL_LAYER_${folder})
  if(_known AND NOT _old STREQUAL _row)
    message(FATAL_ERROR "src/${folder}/ is given two rows of the layer table: ${_old} and ${_row}")
  endif()
  set_property(GLOBAL PROPERTY TRACKMILL_LAYER_${folder} "${_row}")
  set_property(GLOBAL APPEND PROPERTY TRACKMILL_LAYERS ${folder})
endfunction()

# Checks what the targets' sources, and the headers of ours they read, included: the
# compiler prints the include tree (-H), cmake/IncludeTree.sh keeps each file's direct
# includes beside the object, and once the target is built cmake/CheckLayers.cmake judges
# each by the row of the includer's folder. A program's link waits for the checks of the
# libraries it links, so building only the program checks them too.
function(trackmill_check_layers)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "The layer check reads the include tree that gcc and clang print (-H)")
  endif()
  foreach(_target ${ARGN})
    get_target_property(_launcher ${_target} CXX_COMPILER_LAUNCHER)
    if(NOT _launcher)
      set(_launcher)
    endif()
    set_property(TARGET ${_target} PROPERTY CXX_COMPILER_LAUNCHER
                 sh ${CMAKE_SOURCE_DIR}/cmake/IncludeTree.sh ${CMAKE_SOURCE_DIR}/src ${_launcher})
    string(REPLACE "/" "_" _name ${_target})
    set(_stamp ${CMAKE_CURRENT_BINARY_DIR}/${_name}.layers)
    set(_objects ${CMAKE_CURRENT_BINARY_DIR}/${_name}.objects)
    file(GENERATE OUTPUT ${_objects} CONTENT "$<JOIN:$<TARGET_OBJECTS:${_target}>,\n>\n")
    add_custom_command(OUTPUT ${_stamp}
      COMMAND ${CMAKE_COMMAND} -DTABLE=${CMAKE_BINARY_DIR}/layers.cmake -DOBJECTS=${_objects}
              -DSTAMP=${_stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
      DEPENDS ${_target} ${_objects} ${CMAKE_BINARY_DIR}/layers.cmake ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
      COMMENT "Checking what ${_target} includes" VERBATIM)
    add_custom_target(${_target}_layers ALL DEPENDS ${_stamp})
    set_property(TARGET ${_target} PROPERTY TRACKMILL_LAYER_STAMP ${_stamp})
    set_property(GLOBAL APPEND PROPERTY TRACKMILL_CHECKED ${_target})
  endforeach()
endfunction()

# The targets that `target` links, and theirs.
function(_trackmill_linked target out)
  set(_todo ${target})
  set(_seen)
  while(_todo)
    list(POP_FRONT _todo _t)
    foreach(_p LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(_libs ${_t} ${_p})
      foreach(_lib ${_libs})
        if(TARGET ${_lib} AND NOT _lib IN_LIST _seen)
          list(APPEND _seen ${_lib})
          list(APPEND _todo ${_lib})
        endif()
      endforeach()
    endforeach()
  endwhile()
  set(${out} ${_seen} PARENT_SCOPE)
endfunction()

# Once every folder is read: the layer table for the check, with what the compiler says
# are its standard library's and the system's include folders and where Qt's modules are.
function(_trackmill_write_layer_table)
  file(REAL_PATH ${CMAKE_SOURCE_DIR}/src _src)
  file(REAL_PATH ${CMAKE_BINARY_DIR} _bin)
  set(_std)
  set(_system)
  foreach(_dir ${CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES})
    file(REAL_PATH ${_dir} _dir)
    if(EXISTS ${_dir}/cstddef OR EXISTS ${_dir}/bits/c++config.h)
      list(APPEND _std ${_dir})
    else()
      list(APPEND _system ${_dir})
    endif()
  endforeach()
  # Folders inside the standard library's (its "backward") are its too.
  foreach(_dir ${_std})
    foreach(_other ${_system})
      string(FIND "${_other}" "${_dir}/" _at)
      if(_at EQUAL 0)
        list(REMOVE_ITEM _system ${_other})
        list(APPEND _std ${_other})
      endif()
    endforeach()
  endforeach()
  if(NOT _std)
    message(FATAL_ERROR "The layer check found no C++ standard library among the compiler's "
                        "include folders: ${CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES}")
  endif()
  # The modules' folders (QtCore, QtWidgets, ...) sit side by side in one.
  set(_qt)
  get_target_property(_inc Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
  foreach(_dir ${_inc})
    get_filename_component(_name ${_dir} NAME)
    if(_name STREQUAL "QtCore")
      get_filename_component(_qt ${_dir} DIRECTORY)
      file(REAL_PATH ${_qt} _qt)
    endif()
  endforeach()
  string(CONCAT _table "set(SOURCE_ROOT \"${_src}\")\nset(BINARY_ROOT \"${_bin}\")\n"
                "set(STD_DIRS \"${_std}\")\nset(SYSTEM_DIRS \"${_system}\")\nset(QT_ROOT \"${_qt}\")\n")
  get_property(_layers GLOBAL PROPERTY TRACKMILL_LAYERS)
  list(REMOVE_DUPLICATES _layers)
  list(SORT _layers)
  string(APPEND _table "set(LAYERS \"${_layers}\")\n")
  foreach(_layer ${_layers})
    get_property(_row GLOBAL PROPERTY TRACKMILL_LAYER_${_layer})
    string(REGEX MATCH "USES=([^|]*)\\|QT=([^|]*)\\|NATIVE=(.*)" _ "${_row}")
    string(APPEND _table "set(\"USES_${_layer}\" \"${CMAKE_MATCH_1}\")\n"
                         "set(\"QT_${_layer}\" \"${CMAKE_MATCH_2}\")\n"
                         "set(\"NATIVE_${_layer}\" ${CMAKE_MATCH_3})\n")
  endforeach()
  # Written only when it changes: every check depends on it.
  set(_file ${CMAKE_BINARY_DIR}/layers.cmake)
  set(_old)
  if(EXISTS ${_file})
    file(READ ${_file} _old)
  endif()
  if(NOT _old STREQUAL _table)
    file(WRITE ${_file} "${_table}")
  endif()
  get_property(_checked GLOBAL PROPERTY TRACKMILL_CHECKED)
  foreach(_target ${_checked})
    get_target_property(_type ${_target} TYPE)
    if(_type STREQUAL "EXECUTABLE")
      _trackmill_linked(${_target} _linked)
      foreach(_lib ${_linked})
        get_target_property(_stamp ${_lib} TRACKMILL_LAYER_STAMP)
        if(_stamp)
          set_property(TARGET ${_target} APPEND PROPERTY LINK_DEPENDS ${_stamp})
        endif()
      endforeach()
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _trackmill_write_layer_table)

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
  trackmill_layer(${layer} USES ${T_USES} QT ${T_QT} ${_native})
  trackmill_check_layers(${name})
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
