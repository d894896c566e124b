# Fails when a source of a layer includes a folder the layer may not use.
# -DFOLDER=<layer folder name> -DALLOWED=<;-list of folders> -DSOURCES=<;-list> -DSTAMP=<file>
cmake_minimum_required(VERSION 3.25)
foreach(_src ${SOURCES})
  file(STRINGS ${_src} _includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"/]+/")
  foreach(_line ${_includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"/]+)/.*" "\\1" _used "${_line}")
    if(NOT _used STREQUAL FOLDER AND NOT _used IN_LIST ALLOWED)
      message(FATAL_ERROR "${_src}: src/${FOLDER}/ may not include ${_used}/ (allowed: ${ALLOWED})")
    endif()
  endforeach()
endforeach()
file(WRITE ${STAMP} "")
