# Manual pages are written in scdoc (docs/man/<name>.<section>.scd) and
# turned into roff at build time; the roff pages are installed under
# share/man. Without scdoc the pages are skipped with a warning.
find_program(QRV_SCDOC scdoc)
if(NOT QRV_SCDOC)
  message(WARNING "scdoc not found: manual pages are not built (apt-get install scdoc)")
endif()

# qrv_man_page(<name> <section> [COMPONENT <component>])
function(qrv_man_page name section)
  cmake_parse_arguments(ARG "" "COMPONENT" "" ${ARGN})
  if(NOT QRV_SCDOC)
    return()
  endif()
  set(_source ${PROJECT_SOURCE_DIR}/docs/man/${name}.${section}.scd)
  set(_page ${PROJECT_BINARY_DIR}/man/${name}.${section})
  add_custom_command(OUTPUT ${_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${QRV_SCDOC} < ${_source} > ${_page}
    DEPENDS ${_source}
    COMMENT "Manual page ${name}(${section})"
    VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${_page})
  if(NOT ARG_COMPONENT)
    set(ARG_COMPONENT man)
  endif()
  install(FILES ${_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${ARG_COMPONENT})
endfunction()
