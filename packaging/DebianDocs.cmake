# The documents of the Debian package, made at build time: the man page from its scdoc
# source, the changelog from NEWS.md, the README and the JSON reference compressed as
# Debian compresses documents; the JSON Schema stays plain for tools to read.
find_program(FW_SCDOC scdoc REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(man ${CMAKE_CURRENT_BINARY_DIR}/fwupdate.1)
# Without a time stamp (gzip -n), so that two builds of one source give the same bytes.
add_custom_command(OUTPUT ${man}.gz
  COMMAND sh -c [["$0" <"$1" >"$2"]] ${FW_SCDOC} ${CMAKE_CURRENT_SOURCE_DIR}/fwupdate.1.scd ${man}
  COMMAND gzip -9nf ${man}
  DEPENDS fwupdate.1.scd
  COMMENT "Man page fwupdate(1)"
  VERBATIM)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/news_changelog.py
          ${PROJECT_SOURCE_DIR}/NEWS.md ${FW_DEB_PACKAGE} ${PROJECT_VERSION}
          "${FW_DEB_MAINTAINER}" ${changelog}
  COMMAND gzip -9nf ${changelog}
  DEPENDS news_changelog.py ${PROJECT_SOURCE_DIR}/NEWS.md
  COMMENT "Debian changelog from NEWS.md"
  VERBATIM)
set(compressed ${man}.gz ${changelog}.gz)
foreach(doc README.md docs/fwupdate-json.md)
  get_filename_component(name ${doc} NAME)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND sh -c [[gzip -9n <"$0" >"$1"]] ${PROJECT_SOURCE_DIR}/${doc} ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/${doc}
    VERBATIM)
  list(APPEND compressed ${out})
endforeach()
add_custom_target(fwupdate_docs ALL DEPENDS ${compressed})

set(doc share/doc/${FW_DEB_PACKAGE})
install(FILES ${man}.gz DESTINATION share/man/man1)
install(FILES fwupdate.bash-completion DESTINATION share/bash-completion/completions
        RENAME fwupdate)
install(FILES copyright README.Debian ${changelog}.gz ${CMAKE_CURRENT_BINARY_DIR}/README.md.gz
        ${CMAKE_CURRENT_BINARY_DIR}/fwupdate-json.md.gz
        ${PROJECT_SOURCE_DIR}/docs/fwupdate-events.schema.json
        DESTINATION ${doc})
