# Run at install time (see CMakeLists.txt beside this file): writes the menu entry with the
# Exec line for the prefix actually installed into, then installs it.
#   VORN_DESKTOP_TEMPLATE  the entry, with @VORN_EXEC@ where the command goes
#   VORN_DESKTOP_OUTPUT    folder where the finished entry is written before it is installed
#   VORN_INSTALL_BINDIR, VORN_INSTALL_DATADIR  relative to CMAKE_INSTALL_PREFIX

# One argument of an Exec line, quoted as the Desktop Entry rules ask: in double quotes,
# with " ` $ and \ escaped by a backslash, % doubled so it is no field code, and then every
# backslash doubled once more, as the value of a string key is itself escaped.
function(vorn_desktop_quote argument result)
  set(_q "${argument}")
  string(REPLACE "\\" "\\\\" _q "${_q}")
  string(REPLACE "\"" "\\\"" _q "${_q}")
  string(REPLACE "`" "\\`" _q "${_q}")
  string(REPLACE "$" "\\$" _q "${_q}")
  string(REPLACE "%" "%%" _q "${_q}")
  string(REPLACE "\\" "\\\\" _q "${_q}")
  set(${result} "\"${_q}\"" PARENT_SCOPE)
endfunction()

# Under the usual prefixes the launcher finds vorn on the search path, as a user would.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr" OR CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  set(VORN_EXEC vorn)
else()
  vorn_desktop_quote("${CMAKE_INSTALL_PREFIX}/${VORN_INSTALL_BINDIR}/vorn" VORN_EXEC)
endif()

# One folder per destination, so that two installs running at once (a package being made
# while a test installs elsewhere) never hand each other their entries.
string(MD5 _destination "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(_entry "${VORN_DESKTOP_OUTPUT}/${_destination}/vorn.desktop")
configure_file("${VORN_DESKTOP_TEMPLATE}" "${_entry}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VORN_INSTALL_DATADIR}/applications"
  TYPE FILE FILES "${_entry}")
