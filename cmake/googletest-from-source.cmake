# GoogleTest compiled with the cross compiler from the sources Debian's libgtest-dev ships:
# no foreign architecture to add to the package system. Defines GTest::gtest and
# GTest::gtest_main, as find_package(GTest) does.
set(FW_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${FW_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "no GoogleTest sources in ${FW_GOOGLETEST_SOURCE}: install libgtest-dev")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${FW_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Our own rule that every switch names each value is not GoogleTest's.
target_compile_options(gtest PRIVATE -Wno-switch-enum)
# Linked statically, its streaming listener (--gtest_stream_result_to, never used here)
# draws a linker warning about getaddrinfo; it does not affect the tests.
