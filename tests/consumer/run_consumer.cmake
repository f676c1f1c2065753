# Installs the build into a scratch root, then builds and runs the consumer against it, once
# through find_package and once through pkg-config. MODE install: cmake --install into a prefix;
# MODE deb: the Debian packages that cpack makes, unpacked with dpkg -x.
file(REMOVE_RECURSE ${WORK_DIR})

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
    run(dpkg-deb -x ${deb} ${WORK_DIR}/root)
  endforeach()
  set(prefix ${WORK_DIR}/root/usr)
else()
  set(prefix ${WORK_DIR}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
endif()
# A cross build (TOOLCHAIN_FILE, CXX, EMULATOR given) builds with its toolchain and runs the
# programs through its emulator.
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
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
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs QOVAicuC icu-uc OUTPUT_VARIABLE flags
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${flags}")
if(NOT CXX)
  find_program(CXX NAMES c++ g++ clang++ REQUIRED)
endif()
get_filename_component(libdir ${sonames} DIRECTORY)
run(${CXX} -std=c++17 ${SOURCE_DIR}/main.cpp ${flags} -Wl,-rpath,${libdir} -Wl,-rpath,${ICU_LIBDIR}
    -o ${WORK_DIR}/consumer-pc)
run(${emulator} ${WORK_DIR}/consumer-pc)
