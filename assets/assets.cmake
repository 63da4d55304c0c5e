# The media files that lie beside the program, generated from code by tools/mkassets so that the
# same bytes come out of every build. Tests that read them depend on the target corvane_assets.
set(corvane_asset_names res.dll vertisano2.dll vertisano.dll corvane.ico hand.cur about.bmp)
set(corvane_asset_files ${corvane_asset_names})
list(TRANSFORM corvane_asset_files PREPEND ${CORVANE_BIN_DIR}/)

# A cross build cannot run its own mkassets: it runs one built for the build machine instead.
set(CORVANE_HOST_MKASSETS "" CACHE FILEPATH "mkassets built for the build machine (cross builds)")
if(CMAKE_CROSSCOMPILING)
  if(NOT CORVANE_HOST_MKASSETS)
    message(FATAL_ERROR "a cross build needs -DCORVANE_HOST_MKASSETS=<mkassets built for this machine>")
  endif()
  set(corvane_mkassets ${CORVANE_HOST_MKASSETS})
else()
  set(corvane_mkassets mkassets)
endif()

add_custom_command(
  OUTPUT ${corvane_asset_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CORVANE_BIN_DIR}
  COMMAND ${corvane_mkassets} ${CORVANE_BIN_DIR}
  DEPENDS ${corvane_mkassets}
  COMMENT "Generating the media files beside the program"
  VERBATIM)
add_custom_target(corvane_assets ALL DEPENDS ${corvane_asset_files})

# The licence text travels with the program; the program's own build copies it when it exists.
if(NOT TARGET corvane)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CORVANE_BIN_DIR}/gpl.txt COPYONLY)
endif()
