# Debian packages with `cpack -G DEB`: libqovaicuc1 (the Runtime component, the versioned shared
# library) and libqovaicuc-dev (the Development component: headers, the unversioned link, the
# CMake package, the pkg-config file). Both depend on Debian's ICU packages of the ICU found:
# libicu<major> at run time, libicu-dev to build.
string(REGEX MATCH "^[0-9]+" QOVAICUC_ICU_MAJOR "${ICU_VERSION}")

set(CPACK_PACKAGE_NAME qovaicuc)
set(CPACK_PACKAGE_VENDOR "The QOVAicuC developers")
set(CPACK_PACKAGE_CONTACT "The QOVAicuC developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libqovaicuc${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libqovaicuc-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# With the system's ICU, dpkg-shlibdeps names the ICU, C and C++ runtime packages with their
# versions; it knows only libraries that come from Debian packages, so an ICU of its own prefix
# gets the package of the same major version, named here.
if(ICU_UC_LIBRARY MATCHES "^/usr/lib/")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libicu${QOVAICUC_ICU_MAJOR}, libstdc++6, libc6")
endif()
# A cross build makes packages of the architecture it builds for, not of the build machine.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine OUTPUT_VARIABLE QOVAICUC_TRIPLET
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND dpkg-architecture -t${QOVAICUC_TRIPLET} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libqovaicuc${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION}), libicu-dev")
include(CPack)
