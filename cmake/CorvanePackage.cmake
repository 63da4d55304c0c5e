# The Debian package, made by `cpack -G DEB` (scripts/package). The shared libraries the program
# links are found by dpkg-shlibdeps; what it needs without linking is named here: xdg-utils, which
# opens the licence and the web page, and the fonts that fontconfig is asked for ("MS Sans Serif"
# is drawn with Liberation Sans, "Tahoma" with Wine's metric-compatible Tahoma from fonts-wine).
#
# No menu entry and no icon theme file: the program does nothing without a drive argument, so a
# menu entry would only start it to report "The system cannot find the file specified."
include(GNUInstallDirs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
# The package's version is the one the program states (corvane --version, the result window's
# title): minor in two digits, revision in four, "1.00.0000"; dpkg compares it as it would 1.0.0.
string(LENGTH "${PROJECT_VERSION_MINOR}" minor_digits)
string(LENGTH "${PROJECT_VERSION_PATCH}" patch_digits)
math(EXPR minor_pad "2 - ${minor_digits}")
math(EXPR patch_pad "4 - ${patch_digits}")
if(minor_pad LESS 0)
  set(minor_pad 0)
endif()
if(patch_pad LESS 0)
  set(patch_pad 0)
endif()
string(REPEAT 0 ${minor_pad} minor_zeros)
string(REPEAT 0 ${patch_pad} patch_zeros)
set(CPACK_PACKAGE_VERSION
    "${PROJECT_VERSION_MAJOR}.${minor_zeros}${PROJECT_VERSION_MINOR}.${patch_zeros}${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_VENDOR "Corvane developers")
set(CPACK_PACKAGE_CONTACT "Corvane developers <developers@corvane.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flush a drive's buffers and show the system's answer")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Corvane is started with one drive designation (corvane E:). It opens the
volume that the drive table names, asks the system five times to write out
everything buffered for it (every file system mounted from a block device,
then the device), closes it, and shows the system's own message text in a
small result window. A wait window plays a clip meanwhile; an About window
shows the version and opens the licence.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-liberation, fonts-dejavu-core, fonts-wine")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian keeps a package's licence and history under /usr/share/doc/<package>/.
set(corvane_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/corvane)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${corvane_docdir})
set(corvane_changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${corvane_changelog}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(corvane_changelog ALL DEPENDS ${corvane_changelog})
install(FILES ${corvane_changelog} DESTINATION ${corvane_docdir})

include(CPack)
