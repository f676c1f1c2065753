# Installation: header, library with its SONAME links, a CMake package and a pkg-config file.
# Two components, which are also the two Debian packages (cmake/package.cmake): Runtime, the
# versioned shared library; Development, everything a program needs to build against it.
include(CMakePackageConfigHelpers)

install(TARGETS QOVAicuC QOVAicuC_helpers EXPORT QOVAicuCTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
install(FILES include/QOVAicuC.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
install(DIRECTORY include/QOVAicuC DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)

set(QOVAICUC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QOVAicuC)
install(EXPORT QOVAicuCTargets NAMESPACE QOVAicuC:: DESTINATION ${QOVAICUC_CMAKE_DIR}
  COMPONENT Development)
# The package looks for the ICU that the library was built with: the same version at least, and
# under the same ICU_ROOT when one was given.
set(QOVAICUC_ICU_ROOT "${ICU_ROOT}")
configure_package_config_file(cmake/QOVAicuCConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfig.cmake INSTALL_DESTINATION ${QOVAICUC_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfigVersion.cmake DESTINATION ${QOVAICUC_CMAKE_DIR}
  COMPONENT Development)

# The pkg-config file names the prefix it is installed into (/usr for the Debian packages), so
# that pkg-config drops the system's folders from the flags. The prefix is known only when the
# install runs (cmake --install --prefix, cpack), so the file is completed then.
set(QOVAICUC_PC_PREFIX "@QOVAICUC_INSTALL_PREFIX@")
configure_file(cmake/QOVAicuC.pc.in ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuC.pc.in @ONLY)
install(CODE "set(QOVAICUC_INSTALL_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_CURRENT_BINARY_DIR}/QOVAicuC.pc.in\" \"${CMAKE_CURRENT_BINARY_DIR}/QOVAicuC.pc\" @ONLY)"
  COMPONENT Development)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuC.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT Development)
