# Read by cpack for each package it builds. Debian keeps the programs of games
# in /usr/games; the install rules read this when they run inside cpack.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(ENV{VOXARINE_INSTALL_BINDIR} games)
endif()
