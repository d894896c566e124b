# The Debian package: `cpack -G DEB` in the build folder makes trackmill_<version>_<arch>.deb
# from what `cmake --install` puts under /usr.

include(GNUInstallDirs)

# Debian wants its documents compressed without a time stamp, so that a rebuild of the
# same sources gives the same bytes.
set(_docdir ${CMAKE_BINARY_DIR}/package-doc)
add_custom_command(OUTPUT ${_docdir}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_docdir}
  COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${CMAKE_SOURCE_DIR}/data/debian/changelog ${_docdir}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/data/debian/changelog VERBATIM)
add_custom_target(package_doc ALL DEPENDS ${_docdir}/changelog.gz)
# Building the programs alone leaves everything to install, as the manual pages do.
foreach(_program trackmill trackmill-cli)
  if(TARGET ${_program})
    add_dependencies(${_program} package_doc)
  endif()
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright ${_docdir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/trackmill)

set(CPACK_PACKAGE_NAME trackmill)
set(CPACK_PACKAGE_VENDOR "Trackmill developers")
set(CPACK_PACKAGE_CONTACT "Trackmill developers <maintainers@trackmill.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter of Musepack files to MP3 with their tags")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders as Debian has them, whatever the umask of the one who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_NAME trackmill)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The decoder and the encoders (lame for MP3, opusenc of opus-tools for Opus) are separate
# programs it runs, so no library names them; nor does one name Qt's catalogues, which its
# dialogs speak the user's language with.
# (The X11 and Wayland platform plugins come with Qt's GUI library itself.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "musepack-tools, lame, opus-tools, qt6-translations-l10n")
# "Open output folder" goes through xdg-open; without it the window can only name the folder.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# CPack puts the summary above it as the first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Trackmill converts Musepack files (.mpc, .mpp, .mp+) into MP3 files in
batches. For each file it pipes the Musepack decoder mpcdec into the MP3
encoder lame, several files at once, and carries the source's tags into
the new MP3: ID3v1 and ID3v2 are copied, APEv2 tags become ID3v1.1 or
ID3v2.3, with cover art and ReplayGain.
.
A file counts as converted only when its MP3 is whole, plays as long as
its source and is tagged. A library is converted once: each MP3 carries
the mark of its source, so a later job skips what an earlier one did.
.
The package holds the window, trackmill, and the terminal tool,
trackmill-cli.")

include(CPack)
