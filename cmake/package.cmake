# Debian packages with `cpack -G DEB`, one per component:
#   libqovaicuc1     Runtime: the shared library, stripped, with shlibs, symbols and ldconfig
#                    triggers (cmake/debian_symbols.cmake); its debug information goes to
#                    libqovaicuc1-dbgsym (a .ddeb), found through the library's debug link
#   libqovaicuc-dev  Development: headers, the unversioned link, the CMake package, the .pc file
#   qovaicu          Tool: the command-line tool and its man page
#   libqovaicuc-doc  Documentation: the API reference (only when Doxygen is installed)
# The library and the tool depend on Debian's ICU packages of the ICU found: dpkg-shlibdeps
# names them with the C and C++ runtimes when ICU is the system's; an ICU of its own prefix gets
# the package of the same major version, named here.
string(REGEX MATCH "^[0-9]+" QOVAICUC_ICU_MAJOR "${ICU_VERSION}")
include(cmake/debian_symbols.cmake)

set(QOVAICUC_DEB_MAINTAINER "QOVAicuC developers <qovaicuc-devel@lists.qovaicuc.invalid>"
  CACHE STRING "Maintainer field of the Debian packages: name <address>")
set(CPACK_PACKAGE_NAME qovaicuc)
set(CPACK_PACKAGE_VENDOR "The QOVAicuC developers")
set(CPACK_PACKAGE_CONTACT "${QOVAICUC_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QOVAICUC_DEB_MAINTAINER}")
# No package-wide summary: the first line of each package's description is its own.
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL Runtime Development)
if(TARGET qovaicu)
  list(APPEND CPACK_COMPONENTS_ALL Tool)
endif()
if(QOVAICUC_HAVE_DOCS)
  list(APPEND CPACK_COMPONENTS_ALL Documentation)
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/deb_fixup.cmake)

set(QOVAICUC_DEB_ABOUT "QOVAicuC offers ICU's strings, codepage conversion, regular expressions,
number formatting and parsing and date-time formatting through static
operations on opaque handles: no ICU type, status code or exception
reaches the caller.")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libqovaicuc${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "${PROJECT_DESCRIPTION} - shared library
${QOVAICUC_DEB_ABOUT}

This package contains the shared library.")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${QOVAICUC_DEBIAN_CONTROL})

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libqovaicuc-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "${PROJECT_DESCRIPTION} - development files
${QOVAICUC_DEB_ABOUT}

This package contains the header, the optional C++ helpers, the CMake
package and the pkg-config file.")
# A cross build makes packages of the architecture it builds for, not of the build machine.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine OUTPUT_VARIABLE QOVAICUC_TRIPLET
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND dpkg-architecture -t${QOVAICUC_TRIPLET} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libqovaicuc${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION}), libicu-dev")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME qovaicu)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOL_DESCRIPTION "${PROJECT_DESCRIPTION} - command-line tool
${QOVAICUC_DEB_ABOUT}

This package contains qovaicu, which offers these services on the
command line.")
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "libqovaicuc${PROJECT_VERSION_MAJOR} (>= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_DOCUMENTATION_PACKAGE_NAME libqovaicuc-doc)
set(CPACK_DEBIAN_DOCUMENTATION_PACKAGE_SECTION doc)
set(CPACK_DEBIAN_DOCUMENTATION_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DOCUMENTATION_DESCRIPTION "${PROJECT_DESCRIPTION} - API reference
${QOVAICUC_DEB_ABOUT}

This package contains the API reference in HTML.")

# /usr/share/doc/<package> of each: the license as copyright, the release history (a Debian
# changelog, in cmake/changelog) as changelog.gz.
execute_process(COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/cmake/changelog
                OUTPUT_FILE ${QOVAICUC_DEBIAN_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/cmake/changelog)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES LICENSE DESTINATION ${doc} RENAME copyright COMPONENT ${component})
  install(FILES ${QOVAICUC_DEBIAN_DIR}/changelog.gz DESTINATION ${doc} COMPONENT ${component})
endforeach()

if(ICU_UC_LIBRARY MATCHES "^/usr/lib/")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_TOOL_PACKAGE_SHLIBDEPS ON)
  # The tool's own library is found in the build folder; its package is named above.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
else()
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libicu${QOVAICUC_ICU_MAJOR}, libstdc++6, libc6")
  string(APPEND CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS ", libicu${QOVAICUC_ICU_MAJOR}, libstdc++6, libc6")
endif()
include(CPack)
