# cmake -DSOURCE=DIR -DHOST=DIR -P BuildHostTools.cmake: configures the native build in
# HOST when it has never been configured, then brings its skin tools up to date. Run by the
# Windows build, whose cross toolchain stays in its own cache and so never reaches this one.
if(NOT EXISTS ${HOST}/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${HOST} -DCMAKE_BUILD_TYPE=RelWithDebInfo
                  RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "Configuring the native build in ${HOST} failed")
  endif()
endif()
# A build of its own, not a part of the calling make's job pool (which a child started
# from a custom command cannot join).
cmake_host_system_information(RESULT _cores QUERY NUMBER_OF_LOGICAL_CORES)
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS --unset=MFLAGS --unset=MAKELEVEL
                        ${CMAKE_COMMAND} --build ${HOST} --parallel ${_cores} --target skingen skinpack skincatalog
                RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "Building the skin tools in ${HOST} failed")
endif()
