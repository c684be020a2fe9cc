# fw_add_scenario_tests(PREFIX LABEL TIMEOUT ENV): one CTest test per scenario_NAME()
# function of scenarios.sh in the calling folder, named PREFIX_NAME, so a failure names its
# scenario and it can be rerun alone (ctest -R PREFIX_NAME). A script without any scenario
# stops the configuration instead of shrinking the test list.
function(fw_add_scenario_tests prefix label timeout env)
  set(script ${CMAKE_CURRENT_SOURCE_DIR}/scenarios.sh)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
  file(STRINGS ${script} lines REGEX "^scenario_[a-z0-9_]+\\(\\)")
  if(NOT lines)
    message(FATAL_ERROR "no scenario found in ${script}")
  endif()
  foreach(line ${lines})
    string(REGEX REPLACE "^scenario_([a-z0-9_]+).*" "\\1" name "${line}")
    add_test(NAME ${prefix}_${name}
      COMMAND ${script} ${CMAKE_CURRENT_BINARY_DIR}/scenarios/${name} ${name})
    set_tests_properties(${prefix}_${name} PROPERTIES
      LABELS ${label} TIMEOUT ${timeout} ENVIRONMENT "${env}")
  endforeach()
endfunction()
