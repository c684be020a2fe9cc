# The Debian package of fwupdate: the static program, its man page, bash completion, a udev
# rule that keeps ModemManager off the modem (shipped inactive) and documents. A static program depends on no other package.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(FW_DEB_ARCH arm64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
  set(FW_DEB_ARCH amd64)
else()
  message(FATAL_ERROR "no Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
endif()

# The man page is written for scdoc; the package holds its roff, compressed as Debian
# wants, without a time stamp so that two builds of one source give the same bytes.
find_program(FW_SCDOC scdoc REQUIRED)
set(man ${CMAKE_CURRENT_BINARY_DIR}/fwupdate.1)
add_custom_command(OUTPUT ${man}.gz
  COMMAND sh -c [["$0" <"$1" >"$2"]] ${FW_SCDOC} ${CMAKE_CURRENT_SOURCE_DIR}/fwupdate.1.scd ${man}
  COMMAND gzip -9nf ${man}
  DEPENDS fwupdate.1.scd
  COMMENT "Man page fwupdate(1)"
  VERBATIM)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
configure_file(changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND gzip -9nkf ${changelog}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/changelog.in)
add_custom_target(fwupdate_docs ALL DEPENDS ${man}.gz ${changelog}.gz)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(doc share/doc/fwupdate)
install(TARGETS fwupdate RUNTIME DESTINATION bin)
install(FILES ${man}.gz DESTINATION share/man/man1)
install(FILES fwupdate.bash-completion DESTINATION share/bash-completion/completions
        RENAME fwupdate)
# Under /usr/lib, where packages keep their rules; a copy in /etc/udev/rules.d overrides it.
install(FILES udev/70-orvane-fwupdate.rules DESTINATION lib/udev/rules.d)
install(FILES copyright README.Debian ${changelog}.gz DESTINATION ${doc})
install(FILES lintian-overrides DESTINATION share/lintian/overrides RENAME fwupdate)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fwupdate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${FW_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvane Firmware Team <firmware@orvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for Orvane modems on a serial port")
# The summary is the first line of the Description field, this text the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "fwupdate finds an Orvane modem on a serial port, reads the versions of its
controller and DSP firmware, and replaces that firmware with an image file:
it erases the modem's flash and sends the image at 115200 baud, with the
same waits and checks as the Orvane Firmware Update program for Windows.
.
The program is statically linked; it runs unattended with --yes.")
include(CPack)
