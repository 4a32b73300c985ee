# Fails when the program given as PROGRAM loads a GUI or desktop-bus library:
# drivewatch runs from cron and on headless servers.
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed (${status})")
endif()
if(NOT libraries MATCHES "libQt6Core")
  message(FATAL_ERROR "ldd output does not list Qt Core; the check would prove nothing:\n${libraries}")
endif()
string(REGEX MATCHALL "lib(Qt6Gui|Qt6Widgets|Qt6DBus|X11|xcb|EGL|GLX|OpenGL|GL)[.][^ ]*"
  forbidden "${libraries}")
if(forbidden)
  message(FATAL_ERROR "${PROGRAM} loads GUI libraries: ${forbidden}")
endif()
