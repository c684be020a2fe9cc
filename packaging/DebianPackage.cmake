# The Debian package orvane-fwupdate (the command is fwupdate; Debian has a package of
# its own named fwupdate): the program dynamically linked with Debian's flags, stripped,
# its debug symbols kept beside the build; the man page, bash completion, an inactive udev
# rule that keeps ModemManager off the modem, the documents and the JSON Schema of
# fwupdate --json, and the folder of the history database.
set(FW_DEB_PACKAGE orvane-fwupdate)
set(FW_DEB_MAINTAINER "Orvane Firmware Team <firmware@orvane.example>")
if(NOT FW_DEB_ARCH)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    set(FW_DEB_ARCH arm64)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
    set(FW_DEB_ARCH amd64)
  else()
    message(FATAL_ERROR "no Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
endif()

include(DebianDocs.cmake)

# Stripped as dh_strip does; the symbols go to fwupdate.debug, which the program names by
# its debug link, for a debugger on a crash report.
set(stripped ${CMAKE_CURRENT_BINARY_DIR}/fwupdate)
add_custom_command(OUTPUT ${stripped} ${stripped}.debug
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug --compress-debug-sections $<TARGET_FILE:fwupdate>
          ${stripped}.debug
  COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
          -o ${stripped} $<TARGET_FILE:fwupdate>
  COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=fwupdate.debug ${stripped}
  DEPENDS fwupdate
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  COMMENT "fwupdate stripped, its symbols in fwupdate.debug"
  VERBATIM)
add_custom_target(fwupdate_stripped ALL DEPENDS ${stripped})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(PROGRAMS ${stripped} DESTINATION bin)
# Under /usr/lib, where packages keep their rules; a copy in /etc/udev/rules.d overrides it.
install(FILES udev/70-orvane-fwupdate.rules DESTINATION lib/udev/rules.d)
# fwupdate's history database lives here; the package owns the folder, root's, 0755.
install(DIRECTORY DESTINATION /var/lib/${FW_DEB_PACKAGE})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${FW_DEB_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped above, with its debug link; CPack's strip would drop that.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${FW_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${FW_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from dpkg-shlibdeps, for the architecture the package is for: scripts/package
# runs cpack under dpkg-architecture -a ARCH.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for Orvane modems on a serial port")
# The summary is the first line of the Description field, this text the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "fwupdate finds an Orvane modem on a serial port, reads the versions of its
controller and DSP firmware, and replaces that firmware with an image file:
it erases the modem's flash and sends the image at 115200 baud, with the
same waits and checks as the Orvane Firmware Update program for Windows.
.
It updates several modems at once, runs unattended with --yes, and writes
JSON Lines for scripts with --json (the reference and a JSON Schema are in
/usr/share/doc/orvane-fwupdate).")
include(CPack)
