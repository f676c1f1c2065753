# Installs the build into a scratch prefix, then builds and runs the consumer against it, once
# through find_package and once through pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
  endif()
  message(STATUS "${out}")
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer)

# The SONAME link must be installed beside the library.
file(GLOB sonames ${prefix}/lib*/libQOVAicuC.so.1 ${prefix}/lib*/*/libQOVAicuC.so.1)
if(NOT sonames)
  message(FATAL_ERROR "libQOVAicuC.so.1 is not installed")
endif()

find_program(PKG_CONFIG pkg-config REQUIRED)
file(GLOB pcdirs ${prefix}/lib*/pkgconfig ${prefix}/lib*/*/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "${pcdirs}")
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs QOVAicuC OUTPUT_VARIABLE flags
                RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pkg-config does not find QOVAicuC")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
find_program(CXX NAMES c++ g++ clang++ REQUIRED)
get_filename_component(libdir ${sonames} DIRECTORY)
run(${CXX} -std=c++17 ${SOURCE_DIR}/main.cpp ${flags} -Wl,-rpath,${libdir} -o ${WORK_DIR}/consumer-pc)
run(${WORK_DIR}/consumer-pc)
