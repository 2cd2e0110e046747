# Runs at install time (from the install rules of src/app): writes the desktop
# entry with the full paths of the installed program and icon, so the entry
# starts this bundle wherever it was installed, without its bin/ on PATH.
# Needs NIMBREL_DESKTOP_TEMPLATE and NIMBREL_DESKTOP_STAGING (a folder of the
# build tree); the prefix is the one given to `cmake --install`.

get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(program "${prefix}/bin/nimbrel")
set(icon "${prefix}/share/icons/hicolor/scalable/apps/nimbrel.svg")
if(prefix MATCHES "[\n\r]")
  message(FATAL_ERROR "A desktop entry cannot name a path with a line break: ${prefix}")
endif()

# Exec: a path with a reserved character is quoted, and inside the quotes ",
# `, $ and \ are escaped; % is doubled in any case.
set(exec "${program}")
if(exec MATCHES "[] \t'\"\\\\<>~|&;$*?#()`[]")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "\"" "\\\"" exec "${exec}")
  string(REPLACE "`" "\\`" exec "${exec}")
  string(REPLACE "$" "\\$" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")
# Both are string values, whose own escape is the backslash.
string(REPLACE "\\" "\\\\" NIMBREL_DESKTOP_EXEC "${exec}")
string(REPLACE "\\" "\\\\" NIMBREL_DESKTOP_ICON "${icon}")

configure_file("${NIMBREL_DESKTOP_TEMPLATE}" "${NIMBREL_DESKTOP_STAGING}/nimbrel.desktop" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${NIMBREL_DESKTOP_STAGING}/nimbrel.desktop")
