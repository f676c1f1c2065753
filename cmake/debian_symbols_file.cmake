# Writes the Debian symbols file of the library (see debian_symbols.cmake):
#   cmake -DLIBRARY=<.so> -DLISTS=<tests/symbols> -DNM=<nm> -DCXXFILT=<c++filt>
#         -DSONAME=<soname> -DPACKAGE=<package> -DFIRST=<first release> -DCURRENT=<version>
#         -DOUTPUT=<file> -P ...
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE nm
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^ \n]+\n" mangled "${nm}")
list(TRANSFORM mangled STRIP)
list(JOIN mangled "\n" input)
file(WRITE ${OUTPUT}.mangled "${input}\n")
execute_process(COMMAND ${CXXFILT} INPUT_FILE ${OUTPUT}.mangled OUTPUT_VARIABLE demangled
                COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${OUTPUT}.mangled)
string(REGEX REPLACE "\n$" "" demangled "${demangled}")
string(REPLACE ";" "\\;" demangled "${demangled}")
string(REPLACE "\n" ";" demangled "${demangled}")

# The version of each name in the lists.
file(GLOB lists ${LISTS}/*.txt)
foreach(list IN LISTS lists)
  file(STRINGS ${list} lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*(#|$)")
      continue()
    endif()
    set(since ${FIRST})
    if(line MATCHES "#[ \t]*since[ \t]+([0-9.]+)")
      set(since ${CMAKE_MATCH_1})
    endif()
    string(REGEX REPLACE "[ \t]*#.*$" "" name "${line}")
    string(MD5 key "${name}")
    set(since_${key} ${since})
  endforeach()
endforeach()

set(entries "")
foreach(name IN ZIP_LISTS mangled demangled)
  string(MD5 key "${name_1}")
  if(NOT DEFINED since_${key})
    message(WARNING "${LIBRARY} exports ${name_1}, which no list in ${LISTS} names")
    set(since_${key} ${CURRENT})
  endif()
  list(APPEND entries " ${name_0}@Base ${since_${key}}")
endforeach()
list(SORT entries)
list(JOIN entries "\n" entries)
file(WRITE ${OUTPUT}.new
     "${SONAME} ${PACKAGE} #MINVER#\n* Build-Depends-Package: libqovaicuc-dev\n${entries}\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
