# The control files of the runtime package that tell dpkg-shlibdeps what a program built against
# the library needs:
#   symbols  every exported symbol (mangled, as the library has it) with the version that first
#            exported it: the first release, 1.0.0, unless its line in tests/symbols/ ends in
#            "# since X.Y.Z". Made after each link from the library's dynamic symbols, named in
#            tests/symbols/ (demangled). A symbol that no list names gets the project's
#            version, with a warning (the exported_symbols test fails on it).
#   shlibs   the fallback for tools that read no symbols file: at least this version.
#   triggers ldconfig runs once after the package is installed or removed.
set(QOVAICUC_DEBIAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/debian)
set(soname libQOVAicuC.so.${PROJECT_VERSION_MAJOR})
set(package libqovaicuc${PROJECT_VERSION_MAJOR})
file(WRITE ${QOVAICUC_DEBIAN_DIR}/shlibs.new
  "libQOVAicuC ${PROJECT_VERSION_MAJOR} ${package} (>= ${PROJECT_VERSION})\n")
file(WRITE ${QOVAICUC_DEBIAN_DIR}/triggers.new "activate-noawait ldconfig\n")
foreach(file shlibs triggers)
  configure_file(${QOVAICUC_DEBIAN_DIR}/${file}.new ${QOVAICUC_DEBIAN_DIR}/${file} COPYONLY)
endforeach()

if(NOT CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
  return()
endif()
find_program(QOVAICUC_NM NAMES ${CMAKE_NM} nm)
find_program(QOVAICUC_CXXFILT c++filt)
if(NOT QOVAICUC_NM OR NOT QOVAICUC_CXXFILT)
  message(STATUS "nm or c++filt not found (Debian: binutils): the package has no symbols file")
  set(QOVAICUC_DEBIAN_CONTROL ${QOVAICUC_DEBIAN_DIR}/shlibs ${QOVAICUC_DEBIAN_DIR}/triggers)
  return()
endif()
add_custom_command(TARGET QOVAicuC POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:QOVAicuC> -DLISTS=${PROJECT_SOURCE_DIR}/tests/symbols
          -DNM=${QOVAICUC_NM} -DCXXFILT=${QOVAICUC_CXXFILT} -DSONAME=${soname} -DPACKAGE=${package}
          -DFIRST=1.0.0 -DCURRENT=${PROJECT_VERSION} -DOUTPUT=${QOVAICUC_DEBIAN_DIR}/symbols
          -P ${PROJECT_SOURCE_DIR}/cmake/debian_symbols_file.cmake
  VERBATIM)
set(QOVAICUC_DEBIAN_CONTROL
  ${QOVAICUC_DEBIAN_DIR}/shlibs ${QOVAICUC_DEBIAN_DIR}/symbols ${QOVAICUC_DEBIAN_DIR}/triggers)
