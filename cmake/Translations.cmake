# The programs' translations: translations/trackmill_<lang>.ts compiled by lrelease and
# built into each program as resources under :/i18n, so a program needs no file beside
# it to speak the user's language. The mingw build uses the host's lrelease.
find_program(TRACKMILL_LRELEASE NAMES lrelease lrelease-qt6 HINTS /usr/lib/qt6/bin /usr/lib/qt6/libexec REQUIRED)
if(WIN32)
  find_program(TRACKMILL_LUPDATE NAMES lupdate lupdate-qt6 HINTS /usr/lib/qt6/bin /usr/lib/qt6/libexec)
else()
  find_program(TRACKMILL_LUPDATE NAMES lupdate lupdate-qt6 HINTS /usr/lib/qt6/bin /usr/lib/qt6/libexec REQUIRED)
endif()

file(GLOB TRACKMILL_TS_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/trackmill_*.ts)
set(_qms)
set(_qrc_entries)
foreach(_ts ${TRACKMILL_TS_FILES})
  get_filename_component(_name ${_ts} NAME_WE)
  set(_qm ${CMAKE_BINARY_DIR}/translations/${_name}.qm)
  add_custom_command(OUTPUT ${_qm}
    COMMAND ${TRACKMILL_LRELEASE} -silent ${_ts} -qm ${_qm}
    DEPENDS ${_ts} COMMENT "Compiling ${_name}.ts" VERBATIM)
  list(APPEND _qms ${_qm})
  string(APPEND _qrc_entries "    <file alias=\"${_name}.qm\">${_qm}</file>\n")
endforeach()
set(TRACKMILL_QRC ${CMAKE_BINARY_DIR}/translations/trackmill_i18n.qrc)
file(CONFIGURE OUTPUT ${TRACKMILL_QRC}
  CONTENT "<RCC>\n  <qresource prefix=\"/i18n\">\n${_qrc_entries}  </qresource>\n</RCC>\n")
add_custom_target(trackmill_qm DEPENDS ${_qms})

# Gives `target` the compiled catalogues.
function(trackmill_add_translations target)
  qt_add_resources(_rcc_sources ${TRACKMILL_QRC})
  set_source_files_properties(${_rcc_sources} PROPERTIES OBJECT_DEPENDS "${_qms}")
  target_sources(${target} PRIVATE ${_rcc_sources})
  add_dependencies(${target} trackmill_qm)
endfunction()

# `cmake --build build --target lupdate` brings the catalogues up to date with the
# sources. Tr (the terminal's texts) counts as tr.
if(TRACKMILL_LUPDATE)
  add_custom_target(lupdate
    COMMAND ${TRACKMILL_LUPDATE} -silent -no-obsolete -locations relative -tr-function-alias tr+=Tr,QT_TRANSLATE_NOOP+=Word
            ${CMAKE_SOURCE_DIR}/src -ts ${TRACKMILL_TS_FILES}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
endif()
