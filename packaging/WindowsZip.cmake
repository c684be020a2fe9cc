# The zip for Windows: FirmwareUpdate.exe and fwupdate.exe of both Windows builds, named
# after their architecture so that both fit in one folder, and a text on which to use.
# Either Windows tree packs it: CPack installs the programs of both trees.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(bits 64bit)
else()
  set(bits 32bit)
endif()
install(PROGRAMS $<TARGET_FILE:FirmwareUpdate> DESTINATION . RENAME FirmwareUpdate-${bits}.exe)
install(PROGRAMS $<TARGET_FILE:fwupdate> DESTINATION . RENAME fwupdate-${bits}.exe)
# Windows line ends, for Notepad.
configure_file(README-Windows.txt README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

set(FW_WINDOWS_I686_BUILD ${PROJECT_SOURCE_DIR}/build/windows-i686 CACHE PATH
    "Build tree of the windows-i686 preset")
set(FW_WINDOWS_X86_64_BUILD ${PROJECT_SOURCE_DIR}/build/windows-x86_64 CACHE PATH
    "Build tree of the windows-x86_64 preset")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME FirmwareUpdate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME FirmwareUpdate-${PROJECT_VERSION}-windows)
set(CPACK_INSTALL_CMAKE_PROJECTS
    ${FW_WINDOWS_I686_BUILD} ${PROJECT_NAME} ALL /
    ${FW_WINDOWS_X86_64_BUILD} ${PROJECT_NAME} ALL /)
include(CPack)
