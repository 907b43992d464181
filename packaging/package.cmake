# The Debian package (`make package`, which builds it in a folder of its
# own: scripts/package.sh): the install under /usr, its library
# dependencies found by dpkg-shlibdeps from the game program. SDL loads the
# GL context's library (GLX or EGL) at run time, so dpkg-shlibdeps cannot
# see it: those are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvemar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D action game under the ice")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A single-player 3D action game. The hero, seen by a chase camera or in"
  "first person, fights five kinds of enemies with six weapons through a"
  "mining outpost under the ice, canyon ruins and a foundry, solves a"
  "crystal puzzle and watches in-level cutscenes. Drawn with OpenGL, sound"
  "by OpenAL Soft.")
set(CPACK_PACKAGE_CONTACT "${TALVEMAR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TALVEMAR_HOMEPAGE}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
# Folders as Debian's own packages have them, whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Run by cpack: without dpkg-shlibdeps, CPack would only warn and make a
# package whose Depends lack SDL2, OpenAL and GLU.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_checks.cmake)
include(CPack)
