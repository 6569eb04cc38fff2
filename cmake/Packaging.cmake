# What tools/package.sh hands out, made by CPack from the builds:
#  - the Windows build: quorin-VERSION-windows-x64.zip with both programs, the extra skins,
#    the administrators' policy templates, a README.txt and the licence; the programs are
#    static, so nothing else is installed (tools/package_msi.sh makes the installer of the
#    same files);
#  - the native build: quorin-cli_VERSION_amd64.deb with the command-line tool, its man
#    page (made from --help by help2man) and the README, its Depends read off the shared
#    libraries the binary links (dpkg-shlibdeps).
# The sanitizer and fuzz builds package nothing.
if(QUORIN_SANITIZE OR QUORIN_FUZZ)
  return()
endif()

set(CPACK_PACKAGE_VENDOR "QUORIN")
set(CPACK_PACKAGE_CONTACT "QUORIN support <support@quorin.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure QUORIN-Q1 CAN FD to serial converters")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/../dist)
# The packages hold release files only; the debug information stays in the build tree.
set(CPACK_STRIP_FILES ON)

if(QUORIN_WINDOWS)
  install(TARGETS CANConfig quorin-cli RUNTIME DESTINATION .)
  # The skins a user can switch to, when the build makes any.
  install(DIRECTORY ${PROJECT_BINARY_DIR}/skins/ DESTINATION skins OPTIONAL FILES_MATCHING PATTERN "*.skn")
  # Windows line ends, so that Notepad on any version shows the lines.
  configure_file(${PROJECT_SOURCE_DIR}/docs/README-windows.txt.in ${PROJECT_BINARY_DIR}/package/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/package/LICENSE.txt COPYONLY)
  file(READ ${PROJECT_BINARY_DIR}/package/LICENSE.txt _licence)
  string(REPLACE "\r\n" "\n" _licence "${_licence}")
  string(REPLACE "\n" "\r\n" _licence "${_licence}")
  file(WRITE ${PROJECT_BINARY_DIR}/package/LICENSE.txt "${_licence}")
  install(FILES ${PROJECT_BINARY_DIR}/package/README.txt ${PROJECT_BINARY_DIR}/package/LICENSE.txt DESTINATION .)
  # Group Policy templates (ADMX, with ADML per language) for the policies the program reads.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/policies/ DESTINATION policies)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME quorin)
  set(CPACK_PACKAGE_FILE_NAME quorin-${PROJECT_VERSION}-windows-x64)
  # One folder inside the archive, named like it, so unpacking never scatters files.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  include(GNUInstallDirs)
  install(TARGETS quorin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The release's date, from the Debian changelog's newest entry: the man page carries it
  # instead of the day it was built, so every build of a release gives the same page.
  set(_changelog ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_changelog})
  execute_process(COMMAND dpkg-parsechangelog -l ${_changelog} -S Timestamp
                  OUTPUT_VARIABLE _release_time OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _rc)
  execute_process(COMMAND dpkg-parsechangelog -l ${_changelog} -S Version
                  OUTPUT_VARIABLE _release_version OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "cannot read ${_changelog} (dpkg-dev)")
  endif()
  if(NOT _release_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${_changelog} begins with ${_release_version}, the project is ${PROJECT_VERSION}: "
                        "add the release's entry")
  endif()
  find_program(QUORIN_HELP2MAN help2man)
  if(QUORIN_HELP2MAN)
    set(_man ${PROJECT_BINARY_DIR}/man/quorin-cli.1)
    file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
    add_custom_command(OUTPUT ${_man}.gz
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${_release_time}
              ${QUORIN_HELP2MAN} --no-info --section 1
              --name "configure QUORIN-Q1 CAN FD to serial converters"
              --output ${_man} $<TARGET_FILE:quorin-cli>
      COMMAND gzip -9nf ${_man}
      DEPENDS quorin-cli ${_changelog}
      COMMENT "man page of quorin-cli from its --help"
      VERBATIM)
    add_custom_target(quorin_cli_man ALL DEPENDS ${_man}.gz)
    install(FILES ${_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    message(WARNING "help2man not found: the package will have no man page")
  endif()
  # A native package's changelog, compressed as Debian's tools compress it.
  set(_changelog_gz ${PROJECT_BINARY_DIR}/package/changelog.gz)
  add_custom_command(OUTPUT ${_changelog_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/package
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${_changelog} ${_changelog_gz}
    DEPENDS ${_changelog}
    COMMENT "Debian changelog of quorin-cli"
    VERBATIM)
  add_custom_target(quorin_cli_changelog ALL DEPENDS ${_changelog_gz})
  install(FILES ${_changelog_gz} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorin-cli)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorin-cli)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorin-cli RENAME copyright)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME quorin-cli)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The extended description under the synopsis, which CPack puts first on its own
  # (CPACK_PACKAGE_DESCRIPTION_SUMMARY); lines under 80 columns, as Debian asks.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "quorin-cli configures QUORIN-Q1 CAN FD to serial converters from scripts and
from configuration management. It reads a converter's settings as a JSON
profile, writes a profile back and verifies it by reading it again, compares
a converter with a profile, changes single settings, and finds the converters
on the machine's serial ports, on one port or on many ports at once.")
endif()

include(CPack)
