# The names the plug-in library lets out, written from their one list, src/host/export_list.h,
# which the C++ code reads as an X-macro: the version script of the Linux library and the module
# definition file of the Windows DLL, in the build folder. Sets VANTOR_EXPORTS_MAP and
# VANTOR_EXPORTS_DEF to their paths.
set(export_list ${PROJECT_SOURCE_DIR}/src/host/export_list.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${export_list})
file(READ ${export_list} export_text)
string(REGEX MATCHALL "\n *X\\([A-Za-z]+," export_entries "${export_text}")
set(export_names)
foreach(entry IN LISTS export_entries)
  string(REGEX REPLACE "\n *X\\(([A-Za-z]+)," "\\1" name "${entry}")
  list(APPEND export_names ${name})
endforeach()
list(LENGTH export_names export_count)
if(NOT export_count EQUAL 16)
  message(FATAL_ERROR "${export_list}: ${export_count} exports read, not the host's sixteen")
endif()

list(JOIN export_names "; " map_names)
set(VANTOR_EXPORTS_MAP ${PROJECT_BINARY_DIR}/exports.map)
file(CONFIGURE OUTPUT ${VANTOR_EXPORTS_MAP}
  CONTENT "{\n  global:\n    ${map_names};\n  local: *;\n};\n")

list(JOIN export_names "\n    " def_names)
set(VANTOR_EXPORTS_DEF ${PROJECT_BINARY_DIR}/vantor.def)
file(CONFIGURE OUTPUT ${VANTOR_EXPORTS_DEF}
  CONTENT "LIBRARY vantor\nEXPORTS\n    ${def_names}\n")
