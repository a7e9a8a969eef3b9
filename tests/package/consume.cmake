# Installs the build into a fresh prefix, then configures, builds and runs a
# project outside the tree against it: the example on its own (its own project())
# and a small host through pkg-config.
# In: BUILD_DIR, SOURCE_DIR, WORK (scratch folder), COMPILER, LAUNCHER, FLAGS, PUBLIC_LIST
# (the public headers, one a line, as cmake/Install.cmake names them).
file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# What a host needs beside the libraries and headers.
foreach(file share/qorOrvaneUI/reports/g_dispatch.rpt share/doc/qorOrvaneUI/LICENSE
             share/doc/qorOrvaneUI/host-guide.md)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "the install lacks ${file}")
  endif()
endforeach()
# The installed headers are the public list, no more and no less.
file(GLOB_RECURSE installed RELATIVE ${prefix}/include ${prefix}/include/*)
file(STRINGS ${PUBLIC_LIST} public)
list(SORT installed)
list(SORT public)
if(NOT installed STREQUAL public)
  set(extra ${installed})
  list(REMOVE_ITEM extra ${public})
  set(missing ${public})
  list(REMOVE_ITEM missing ${installed})
  message(FATAL_ERROR "installed headers differ from the public list\n"
                      "  installed, not public: ${extra}\n  public, not installed: ${missing}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consume -B ${WORK}/build -G Ninja
          -DCMAKE_BUILD_TYPE=Debug -DCMAKE_PREFIX_PATH=${prefix}
          -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}
          "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}"
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/build COMMAND_ERROR_IS_FATAL ANY)

# The example as a project of its own, as a host would build it from the guide.
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${WORK}/example -G Ninja
          -DCMAKE_BUILD_TYPE=Debug -DCMAKE_PREFIX_PATH=${prefix}
          -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}
          "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}"
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/example COMMAND_ERROR_IS_FATAL ANY)

set(EXAMPLE ${WORK}/example/minimal_host)
set(SAMPLES ${SOURCE_DIR}/samples)
set(DATA ${WORK}/data)
include(${CMAKE_CURRENT_LIST_DIR}/check_example.cmake)

execute_process(COMMAND ${WORK}/build/pkgconfig_host ${SAMPLES}/dispatch/glass-replacement.xml
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pkgconfig_host ended with ${rc}\n${out}")
endif()
