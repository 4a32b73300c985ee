# Where an installed suite puts its files. The shared libraries are private:
# they go to a folder of their own below the library folder, and the programs
# find them through a RUNPATH relative to their own place, so nothing is added
# to the system's library path and a relocated prefix still works.
# Debian keeps documentation under the package's name.
set(CMAKE_INSTALL_DOCDIR "share/doc/vorn")
include(GNUInstallDirs)

set(VORN_INSTALL_PRIVATE_LIBDIR "${CMAKE_INSTALL_LIBDIR}/vorn")
set(VORN_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/vorn")

file(RELATIVE_PATH VORN_LIBDIR_FROM_BINDIR "/${CMAKE_INSTALL_BINDIR}" "/${VORN_INSTALL_PRIVATE_LIBDIR}")
file(RELATIVE_PATH VORN_DATADIR_FROM_BINDIR "/${CMAKE_INSTALL_BINDIR}" "/${VORN_INSTALL_DATADIR}")

# Programs look in the private folder; the libraries in that folder find
# each other beside themselves.
set(CMAKE_INSTALL_RPATH "$ORIGIN/${VORN_LIBDIR_FROM_BINDIR};$ORIGIN")
