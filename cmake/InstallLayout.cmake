# Where an installed tree puts things (any prefix):
#   bin/velmora4                        the front program
#   lib/velmora4/                       the player and the media module
#   share/velmora4/                     skin/, "default icons/"
#   share/applications, icons, metainfo, mime, man: the desktop's files
# The programs find each other and their data by the paths between these
# folders, never by the prefix, so an unpacked tree works anywhere.
include(GNUInstallDirs)
set(VELMORA_INSTALL_PKGLIBDIR "lib/velmora4" CACHE STRING "Folder of the player and the media module (relative)")
set(VELMORA_INSTALL_PKGDATADIR "${CMAKE_INSTALL_DATADIR}/velmora4" CACHE STRING "Folder of the skin and icons (relative)")
foreach(dir VELMORA_INSTALL_PKGLIBDIR VELMORA_INSTALL_PKGDATADIR CMAKE_INSTALL_BINDIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the prefix so that the tree can move")
  endif()
endforeach()
file(RELATIVE_PATH VELMORA_DATA_FROM_PLAYER "/p/${VELMORA_INSTALL_PKGLIBDIR}" "/p/${VELMORA_INSTALL_PKGDATADIR}")
file(RELATIVE_PATH VELMORA_BIN_FROM_PLAYER "/p/${VELMORA_INSTALL_PKGLIBDIR}" "/p/${CMAKE_INSTALL_BINDIR}")
file(RELATIVE_PATH VELMORA_PLAYER_FROM_FRONT "/p/${CMAKE_INSTALL_BINDIR}" "/p/${VELMORA_INSTALL_PKGLIBDIR}")
