# Installation: header, library with its SONAME links, a CMake package and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS QOVAicuC EXPORT QOVAicuCTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES include/QOVAicuC.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/include/QOVAicuC)
  install(DIRECTORY include/QOVAicuC DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endif()

set(QOVAICUC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QOVAicuC)
install(EXPORT QOVAicuCTargets NAMESPACE QOVAicuC:: DESTINATION ${QOVAICUC_CMAKE_DIR})
configure_package_config_file(cmake/QOVAicuCConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfig.cmake INSTALL_DESTINATION ${QOVAICUC_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuCConfigVersion.cmake DESTINATION ${QOVAICUC_CMAKE_DIR})

# Relocatable: the prefix is found from the file's own place.
file(RELATIVE_PATH QOVAICUC_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(cmake/QOVAicuC.pc.in ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuC.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/QOVAicuC.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
