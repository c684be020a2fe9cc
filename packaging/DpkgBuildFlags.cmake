# Included before project() by the package presets: the compiler and linker flags are
# Debian's own (dpkg-buildflags, all hardening on), for the architecture FW_DEB_ARCH, so
# the packaged program is built as a Debian package's would be. Forced into the cache, so
# that they win over a toolchain's defaults (the arm64 one links statically) and follow
# dpkg-buildflags on every configure.
include_guard(GLOBAL)
if(NOT FW_DEB_ARCH)
  message(FATAL_ERROR "DpkgBuildFlags.cmake needs FW_DEB_ARCH (amd64 or arm64)")
endif()
find_program(FW_DPKG_ARCHITECTURE dpkg-architecture REQUIRED)
# dpkg-architecture checks CC against the architecture: the cross compiler's name for it.
execute_process(COMMAND ${FW_DPKG_ARCHITECTURE} -a${FW_DEB_ARCH} -f -q DEB_HOST_GNU_TYPE
  OUTPUT_VARIABLE fw_gnu_type OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
# Stack clash protection and control flow protection, which newer dpkg-buildflags turn on
# with hardening=+all and bookworm's does not yet know, appended as a maintainer would.
if(FW_DEB_ARCH STREQUAL "amd64")
  set(fw_append "-fstack-clash-protection -fcf-protection")
elseif(FW_DEB_ARCH STREQUAL "arm64")
  set(fw_append "-fstack-clash-protection -mbranch-protection=standard")
endif()
foreach(name CPPFLAGS CXXFLAGS LDFLAGS)
  # From the source folder, so that -ffile-prefix-map takes the source paths out of the
  # program and its debug symbols.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all CC=${fw_gnu_type}-gcc
            "DEB_CXXFLAGS_MAINT_APPEND=${fw_append}"
            ${FW_DPKG_ARCHITECTURE} -a${FW_DEB_ARCH} -f -c dpkg-buildflags --get ${name}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE fw_${name} OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_VARIABLE fw_err RESULT_VARIABLE fw_rc)
  if(NOT fw_rc EQUAL 0)
    message(FATAL_ERROR "dpkg-buildflags --get ${name} for ${FW_DEB_ARCH}: ${fw_err}")
  endif()
endforeach()
set(CMAKE_CXX_FLAGS "${fw_CPPFLAGS} ${fw_CXXFLAGS}" CACHE STRING
    "dpkg-buildflags CPPFLAGS CXXFLAGS" FORCE)
set(CMAKE_EXE_LINKER_FLAGS "${fw_LDFLAGS}" CACHE STRING "dpkg-buildflags LDFLAGS" FORCE)
