# Read by cpack before it packs: the checks a sound package needs.
find_program(TALVEMAR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT TALVEMAR_DPKG_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps is missing (Debian package dpkg-dev), so the package's "
                      "dependencies on SDL2, OpenAL and GLU cannot be found: install dpkg-dev "
                      "(scripts/setup.sh does) and pack again")
endif()
