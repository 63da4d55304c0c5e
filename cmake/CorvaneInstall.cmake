# Installation: the program keeps its media and licence in a folder of its own under the
# library-executables folder, since it finds them beside its real executable; bin/ holds only a
# relative link to it, so the installed tree can move as a whole.
include(GNUInstallDirs)

set(CORVANE_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/corvane)

install(TARGETS corvane RUNTIME DESTINATION ${CORVANE_INSTALL_PROGRAM_DIR})
# Only the files the program opens at run time: the clips, the sound and the licence.
install(FILES
  ${CORVANE_BIN_DIR}/res.dll ${CORVANE_BIN_DIR}/vertisano2.dll ${CORVANE_BIN_DIR}/vertisano.dll
  ${CORVANE_BIN_DIR}/gpl.txt
  DESTINATION ${CORVANE_INSTALL_PROGRAM_DIR})

# The link is relative, computed from the two install folders, so a staged or moved tree works.
file(RELATIVE_PATH corvane_link_target
  /${CMAKE_INSTALL_BINDIR} /${CORVANE_INSTALL_PROGRAM_DIR}/corvane)
set(corvane_link ${CMAKE_CURRENT_BINARY_DIR}/install-link/corvane)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/install-link)
file(CREATE_LINK ${corvane_link_target} ${corvane_link} SYMBOLIC)
install(FILES ${corvane_link} DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page, compressed as Debian's policy asks; -n keeps the bytes the same on every build.
set(corvane_man ${CMAKE_CURRENT_BINARY_DIR}/man/corvane.1.gz)
add_custom_command(
  OUTPUT ${corvane_man}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/corvane.1 ${CMAKE_CURRENT_BINARY_DIR}/man/corvane.1
  COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/man/corvane.1
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/corvane.1
  VERBATIM)
add_custom_target(corvane_manpage ALL DEPENDS ${corvane_man})
install(FILES ${corvane_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
