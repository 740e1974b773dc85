cmake_policy(SET CMP0057 NEW)
# Installs the build into a fresh prefix, builds tests/consumer against it with
# find_package and with pkg-config, and runs the results.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  message(STATUS "${out}")
endfunction()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(header gen_qtxmlif.h gen_lowlevel.h DomItem.h DomModel.h)
  if(NOT EXISTS ${prefix}/include/ZarnetGenQtXml/${header})
    message(FATAL_ERROR "not installed: ${header}")
  endif()
endforeach()
# A sanitized library needs its runtime linked into the programs that load it.
set(sanitize_flags "")
if(SANITIZE)
  set(sanitize_flags -fsanitize=${SANITIZE})
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_EXE_LINKER_FLAGS=${sanitize_flags}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer)
run(${WORK_DIR}/build/consumer_model)

# pkg-config, for builds without CMake.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig:${prefix}/lib/x86_64-linux-gnu/pkgconfig)
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs ZarnetGenQtXml
  OUTPUT_VARIABLE flags RESULT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know ZarnetGenQtXml")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
find_program(CC NAMES cc gcc REQUIRED)
run(${CC} -std=c99 ${sanitize_flags} ${SOURCE_DIR}/tests/consumer/main.c ${flags}
    -o ${WORK_DIR}/consumer_pc)
file(GLOB libdir ${prefix}/lib*)
set(ENV{LD_LIBRARY_PATH} "${prefix}/lib:${prefix}/lib/x86_64-linux-gnu")
run(${WORK_DIR}/consumer_pc)
