# The API reference: Doxygen's HTML from the comments of include/QOVAicuC.h, built with the rest
# when Doxygen is installed and packaged as libqovaicuc-doc. Doxygen stops on any warning, so an
# undocumented public member fails the build. The stamp is written only after a clean run.
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
  message(STATUS "Doxygen not found (Debian: doxygen): API reference skipped")
  return()
endif()
set(QOVAICUC_DOCS_DIR ${CMAKE_CURRENT_BINARY_DIR}/docs)
configure_file(docs/Doxyfile.in ${QOVAICUC_DOCS_DIR}/Doxyfile @ONLY)
add_custom_command(OUTPUT ${QOVAICUC_DOCS_DIR}/html.stamp
  COMMAND ${CMAKE_COMMAND} -E remove_directory ${QOVAICUC_DOCS_DIR}/html
  COMMAND Doxygen::doxygen ${QOVAICUC_DOCS_DIR}/Doxyfile
  COMMAND ${CMAKE_COMMAND} -E touch ${QOVAICUC_DOCS_DIR}/html.stamp
  DEPENDS ${PROJECT_SOURCE_DIR}/include/QOVAicuC.h ${QOVAICUC_DOCS_DIR}/Doxyfile
  COMMENT "API reference (Doxygen)" VERBATIM)
add_custom_target(docs ALL DEPENDS ${QOVAICUC_DOCS_DIR}/html.stamp)
install(DIRECTORY ${QOVAICUC_DOCS_DIR}/html/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libqovaicuc-doc/html COMPONENT Documentation)
set(QOVAICUC_HAVE_DOCS ON)
