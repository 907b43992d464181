# The Debian package (`make package`): the install under /usr, its library
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
set(CPACK_PACKAGE_CONTACT "Talvemar developers <talvemar@example.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
include(CPack)
