# Installation and the Debian package.
#
#     cmake --install build --prefix DIR     the executables in DIR/bin, their manual pages in DIR/share/man/man1
#     cd build && cpack -G DEB               smwave_<version>_<arch>.deb
#
# Each executable's folder installs its own target and man/<tool>.1 with smwave_install_tool; the
# package holds everything installed.
include(GNUInstallDirs)

# Installs the executable <target> and its manual page in section 1: man/<target>.1 of the source tree,
# or the file given as second argument.
function(smwave_install_tool target)
  set(page ${PROJECT_SOURCE_DIR}/man/${target}.1)
  if(ARGC GREATER 1)
    set(page ${ARGV1})
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

set(CPACK_PACKAGE_NAME smwave)
set(CPACK_PACKAGE_VENDOR "smwave developers")
set(CPACK_PACKAGE_CONTACT "smwave developers <smwave@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "strong-motion record processing: filtered, integrated waveforms and Fourier spectra")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "smwave reads accelerogram tables, band-passes, integrates or differentiates three components in the "
  "frequency domain, and writes their Fourier amplitude spectra and the processed waveforms as "
  "comma-separated files.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Shared libraries the executables need (none when they are static), found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The plot companion draws with gnuplot; everything else runs without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnuplot-nox | gnuplot")
include(CPack)
