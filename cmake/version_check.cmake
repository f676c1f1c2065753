# The public header states the library's version (QOVAICUC_VERSION_*) for programs built against
# it; it must be the project's version. Configuring stops when the two differ, and an edit of the
# header configures again.
set(header ${PROJECT_SOURCE_DIR}/include/QOVAicuC.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
file(STRINGS ${header} lines REGEX "^#define QOVAICUC_VERSION_[A-Z]+ ")
foreach(part MAJOR MINOR PATCH STRING)
  if(part STREQUAL "STRING")
    set(expected "\"${PROJECT_VERSION}\"")
  else()
    set(expected "${PROJECT_VERSION_${part}}")
  endif()
  set(found "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#define QOVAICUC_VERSION_${part} +([^ ]+)")
      set(found "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  if(NOT found STREQUAL expected)
    message(FATAL_ERROR "include/QOVAicuC.h: QOVAICUC_VERSION_${part} is '${found}', but the "
                        "project's version makes it ${expected}")
  endif()
endforeach()
