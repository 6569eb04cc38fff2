# The Linux build's hardening: the flags the distribution gives its own packages
# (dpkg-buildflags with every hardening feature: fortified functions, the stack protector,
# read-only relocations bound at start, position-independent executables), so the .deb
# carries what a packaged program of the distribution carries. Optimisation and debug
# levels stay the build type's, and the path mapping the build's own.
set(_flags_CPPFLAGS "-Wdate-time -D_FORTIFY_SOURCE=2")
set(_flags_CXXFLAGS "-fstack-protector-strong -Wformat -Werror=format-security")
set(_flags_LDFLAGS "-Wl,-z,relro -Wl,-z,now")
find_program(QUORIN_DPKG_BUILDFLAGS dpkg-buildflags)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  if(QUORIN_DPKG_BUILDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${QUORIN_DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE _got OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _rc)
    if(_rc EQUAL 0)
      set(_flags_${kind} "${_got}")
    endif()
  endif()
  separate_arguments(_list UNIX_COMMAND "${_flags_${kind}}")
  list(FILTER _list EXCLUDE REGEX "^-(g|O[0-9s]?|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
  set(_flags_${kind} ${_list})
endforeach()
add_compile_options(${_flags_CPPFLAGS} ${_flags_CXXFLAGS})
add_link_options(${_flags_LDFLAGS})
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
message(STATUS "Hardening: ${_flags_CPPFLAGS} ${_flags_CXXFLAGS}; ${_flags_LDFLAGS}; PIE")
