# corvane_embed_form_descriptions(<target> [DIRECTORY <dir>])
#
# Turns every <dir>/*.frm (default: the calling folder) into a generated source file that holds
# the description's text, and adds it to <target>. For forms/frmFine.frm the program gets
#   extern const char FormDescription_frmFine[];   // the text, NUL-terminated
# declared in the generated header "FormDescriptions.h" (on the target's include path).
# The text is embedded as bytes, so any character in a description is safe. Changing a .frm file
# re-runs the configuration and regenerates the source.
function(corvane_embed_form_descriptions target)
  cmake_parse_arguments(ARG "" "DIRECTORY" "" ${ARGN})
  if(NOT ARG_DIRECTORY)
    set(ARG_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB frm_files CONFIGURE_DEPENDS ${ARG_DIRECTORY}/*.frm)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/form_descriptions)
  set(source "// Generated from the window descriptions; do not edit.\n#include \"FormDescriptions.h\"\n\n")
  set(header "// Generated from the window descriptions; do not edit.\n#pragma once\n\n")
  foreach(frm ${frm_files})
    get_filename_component(name ${frm} NAME_WE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${frm})
    file(READ ${frm} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
    string(REGEX REPLACE "(('[^']+',){16})" "\\1\n  " bytes "${bytes}")
    string(APPEND source "extern const char FormDescription_${name}[] = {\n  ${bytes}'\\0'};\n\n")
    string(APPEND header "extern const char FormDescription_${name}[];\n")
  endforeach()
  file(WRITE ${out_dir}/FormDescriptions.h.new "${header}")
  file(WRITE ${out_dir}/FormDescriptions.cpp.new "${source}")
  # Only a real change touches the files, so unchanged descriptions rebuild nothing.
  file(COPY_FILE ${out_dir}/FormDescriptions.h.new ${out_dir}/FormDescriptions.h ONLY_IF_DIFFERENT)
  file(COPY_FILE ${out_dir}/FormDescriptions.cpp.new ${out_dir}/FormDescriptions.cpp ONLY_IF_DIFFERENT)
  target_sources(${target} PRIVATE ${out_dir}/FormDescriptions.cpp)
  target_include_directories(${target} PUBLIC ${out_dir})
endfunction()
