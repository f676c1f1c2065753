# Installs the build into a scratch root, then builds and runs the consumer against it, once
# through find_package and once through pkg-config. MODE install: cmake --install into a prefix;
# MODE deb: the Debian packages that cpack makes, unpacked with dpkg -x, and checked as Debian
# takes them: multiarch folder, copyright files, a .pc without system folders, a symbols file
# that dpkg-shlibdeps uses, the tool (TOOL) with its man page (HELP2MAN), lintian where installed.
cmake_policy(VERSION 3.20)
file(REMOVE_RECURSE ${WORK_DIR})
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
  endif()
  message(STATUS "${out}")
endfunction()

if(MODE STREQUAL "deb")
  run(${CPACK} -G DEB -B ${WORK_DIR}/debs --config ${BUILD_DIR}/CPackConfig.cmake)
  file(GLOB debs ${WORK_DIR}/debs/*.deb)
  foreach(deb IN LISTS debs)
    run(dpkg-deb -f ${deb} Package Depends)
    execute_process(COMMAND dpkg-deb -f ${deb} Package OUTPUT_VARIABLE name
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND packages ${name})
    run(dpkg-deb -x ${deb} ${WORK_DIR}/root)
    file(MAKE_DIRECTORY ${WORK_DIR}/packages)
    run(dpkg-deb -R ${deb} ${WORK_DIR}/packages/${name})
    if(NOT EXISTS ${WORK_DIR}/root/usr/share/doc/${name}/copyright)
      message(FATAL_ERROR "${name} has no /usr/share/doc/${name}/copyright")
    endif()
  endforeach()
  set(expected libqovaicuc1 libqovaicuc-dev)
  if(TOOL)
    list(APPEND expected qovaicu)
  endif()
  foreach(name IN LISTS expected)
    if(NOT name IN_LIST packages)
      message(FATAL_ERROR "cpack made no package ${name} (made: ${packages})")
    endif()
  endforeach()
  set(prefix ${WORK_DIR}/root/usr)
  # The library in Debian's multiarch folder; the tool with its man page, running without a
  # runpath once the library is where the loader looks.
  if(ARCH AND NOT EXISTS ${prefix}/lib/${ARCH}/libQOVAicuC.so.1)
    message(FATAL_ERROR "libQOVAicuC.so.1 is not in /usr/lib/${ARCH}")
  endif()
  if(TOOL)
    if(HELP2MAN AND NOT EMULATOR AND NOT EXISTS ${prefix}/share/man/man1/qovaicu.1.gz)
      message(FATAL_ERROR "qovaicu has no man page")
    endif()
    file(GLOB libdir ${prefix}/lib/*/libQOVAicuC.so.1 ${prefix}/lib/libQOVAicuC.so.1)
    get_filename_component(libdir "${libdir}" DIRECTORY)
    # The package's ICU is the system's; an ICU of its own prefix is found through the path too.
    set(ENV{LD_LIBRARY_PATH} "${libdir}:${ICU_LIBDIR}")
    run(${emulator} ${prefix}/bin/qovaicu --version)
    unset(ENV{LD_LIBRARY_PATH})
  endif()
  # lintian, where installed: no errors. Built against an ICU of its own prefix (not Debian's),
  # the library carries a runpath to that ICU on purpose, which lintian would report.
  find_program(LINTIAN lintian)
  if(LINTIAN)
    set(suppress "")
    if(NOT ICU_LIBDIR MATCHES "^/usr/lib(/|$)")
      set(suppress --suppress-tags custom-library-search-path)
    endif()
    execute_process(COMMAND ${LINTIAN} ${suppress} ${debs} OUTPUT_VARIABLE out ERROR_VARIABLE out)
    message(STATUS "lintian:\n${out}")
    if(out MATCHES "(^|\n)E: ")
      message(FATAL_ERROR "lintian reports errors")
    endif()
  endif()
else()
  set(prefix ${WORK_DIR}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
endif()
# A cross build (TOOLCHAIN_FILE, CXX, EMULATOR given) builds with its toolchain and runs the
# programs through its emulator.
if(TOOLCHAIN_FILE)
  set(toolchain -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE})
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${prefix} ${toolchain})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${emulator} ${WORK_DIR}/build/consumer)

# The SONAME link must be installed beside the library.
file(GLOB sonames ${prefix}/lib*/libQOVAicuC.so.1 ${prefix}/lib*/*/libQOVAicuC.so.1)
if(NOT sonames)
  message(FATAL_ERROR "libQOVAicuC.so.1 is not installed")
endif()

# The helpers' ICU comes from ICU's own .pc file, found beside ICU's library.
find_program(PKG_CONFIG pkg-config)
if(NOT PKG_CONFIG)
  message(STATUS "pkg-config not found: the consumer built through pkg-config is skipped")
  return()
endif()
file(GLOB pcdirs ${prefix}/lib*/pkgconfig ${prefix}/lib*/*/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "${pcdirs}:${ICU_LIBDIR}/pkgconfig")
function(pkg_config var)
  execute_process(COMMAND ${PKG_CONFIG} ${ARGN} OUTPUT_VARIABLE out
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(out UNIX_COMMAND "${out}")
  set(${var} ${out} PARENT_SCOPE)
endfunction()
if(MODE STREQUAL "deb")
  # The package's .pc names /usr, whose folders pkg-config leaves out of the flags; the
  # consumer is built against the unpacked root by moving the file's prefix there.
  # (An ICU of its own prefix keeps its include folder in the flags.) In a cross build the
  # target's folders are the system ones, as its own pkg-config has them.
  if(EMULATOR AND ARCH)
    set(ENV{PKG_CONFIG_SYSTEM_LIBRARY_PATH} "/usr/lib/${ARCH}:/usr/lib:/lib/${ARCH}:/lib")
  endif()
  pkg_config(cflags --cflags QOVAicuC)
  pkg_config(libs --libs-only-L QOVAicuC)
  foreach(flag IN LISTS cflags libs)
    if(flag MATCHES "^-[IL]/usr(/|$)" OR flag MATCHES "\\.\\.")
      message(FATAL_ERROR "pkg-config gives system folders for the package: ${cflags} ${libs}")
    endif()
  endforeach()
  pkg_config(flags --define-variable=prefix=${prefix} --cflags --libs QOVAicuC)
  pkg_config(icu --cflags --libs icu-i18n icu-uc)
  list(APPEND flags ${icu})
else()
  pkg_config(flags --cflags --libs QOVAicuC icu-i18n icu-uc)
endif()
if(NOT CXX)
  find_program(CXX NAMES c++ g++ clang++ REQUIRED)
endif()
get_filename_component(libdir ${sonames} DIRECTORY)
run(${CXX} -std=c++17 ${SOURCE_DIR}/main.cpp ${flags} -Wl,-rpath,${libdir} -Wl,-rpath,${ICU_LIBDIR}
    -o ${WORK_DIR}/consumer-pc)
run(${emulator} ${WORK_DIR}/consumer-pc)

# dpkg-shlibdeps reads the runtime package's symbols file for a program built against it.
if(MODE STREQUAL "deb")
  file(WRITE ${WORK_DIR}/shlibdeps/debian/control
       "Source: consumer\n\nPackage: consumer\nArchitecture: any\n")
  # An ICU of its own prefix belongs to no Debian package: only its dependency goes unnamed.
  set(ignore "")
  if(NOT ICU_LIBDIR MATCHES "^/usr/lib(/|$)")
    set(ignore --ignore-missing-info)
  endif()
  execute_process(COMMAND dpkg-shlibdeps -v -O ${ignore} -S${WORK_DIR}/packages/libqovaicuc1
                          ${WORK_DIR}/build/consumer
                  WORKING_DIRECTORY ${WORK_DIR}/shlibdeps OUTPUT_VARIABLE out ERROR_VARIABLE out
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "Using symbols file [^\n]*/DEBIAN/symbols for libQOVAicuC.so.1" OR
     NOT out MATCHES "shlibs:Depends=[^\n]*libqovaicuc1 \\(>= [0-9.]+\\)")
    message(FATAL_ERROR "dpkg-shlibdeps did not use the symbols file:\n${out}")
  endif()
  string(REGEX MATCH "shlibs:Depends=[^\n]*" depends "${out}")
  message(STATUS "${depends}")
endif()
