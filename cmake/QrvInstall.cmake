# What `cmake --install` lays out beyond the SDK's own rules (sdk/), in the
# usual places under the prefix; debian/ splits it into packages by folder:
#   bin/Qrvtune, bin/qrvsim                   the programs
#   share/qrvtune/                            the files Qrvtune reads (Meshcfg.ini,
#                                             desc.ini, banners, English translation); it finds them from
#                                             bin/ (and beside itself in the build tree)
#   share/icons/hicolor/*/apps/qrvtune.*, share/applications/qrvtune.desktop,
#   share/metainfo/<id>.metainfo.xml          desktop entry and software-centre data
#   share/man/man1/                           the manual pages (docs/man/*.scd)
#   share/doc/qrvlink/                        guides, SDK reference, protocol note, examples
set(QRV_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/qrvlink CACHE STRING "Where the guides and examples go")

if(TARGET Qrvtune)
  set(QRV_QRVTUNE_DATADIR ${CMAKE_INSTALL_DATADIR}/qrvtune)
  install(TARGETS Qrvtune RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT configurator)
  set(_res ${PROJECT_SOURCE_DIR}/configurator/resources)
  install(FILES ${PROJECT_BINARY_DIR}/configurator/Meshcfg.ini ${_res}/desc.ini ${_res}/dadar.gxd
    ${_res}/dadar_en.gxd ${PROJECT_BINARY_DIR}/configurator/qrvtune_en.qm
    DESTINATION ${QRV_QRVTUNE_DATADIR} COMPONENT configurator)

  # The program finds its installed files from its own folder, so an
  # installation under any prefix (or DESTDIR) works unchanged.
  file(RELATIVE_PATH _files_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/qrvtune)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/configurator/common/module_dir.cpp
    TARGET_DIRECTORY qrvtune_core PROPERTIES COMPILE_DEFINITIONS "QRVTUNE_FILES_FROM_BINDIR=\"${_files_from_bin}\"")

  # libQrvlink in a system library folder needs no run path; elsewhere the
  # program finds it relative to itself.
  set(_system_libdirs ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES} ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES})
  if(NOT CMAKE_INSTALL_FULL_LIBDIR IN_LIST _system_libdirs)
    file(RELATIVE_PATH _lib_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
    set_target_properties(Qrvtune PROPERTIES INSTALL_RPATH "$ORIGIN/${_lib_from_bin}")
  endif()

  foreach(_size 48 128 256)
    install(FILES ${_res}/qrvtune-${_size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
      RENAME qrvtune.png COMPONENT configurator)
  endforeach()
  install(FILES ${_res}/qrvtune.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    COMPONENT configurator)
  install(FILES ${_res}/qrvtune.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT configurator)
  # Software centres look the component up by the file's name: its id.
  install(FILES ${_res}/qrvtune.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
    RENAME invalid.qrvlink.qrvtune.metainfo.xml COMPONENT configurator)
  qrv_man_page(Qrvtune 1 COMPONENT configurator)
endif()

if(TARGET qrvsim)
  qrv_man_page(qrvsim 1 COMPONENT simulator)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/sdk/examples/qrv_read_local.c ${PROJECT_SOURCE_DIR}/sdk/examples/qrv_two_adapters.c ${PROJECT_SOURCE_DIR}/sdk/examples/qrvlink_example.py
  ${PROJECT_SOURCE_DIR}/sdk/examples/qrvlink_every_command.py
  DESTINATION ${QRV_DOCDIR}/examples COMPONENT documentation)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${QRV_DOCDIR} COMPONENT documentation
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png" PATTERN "*.txt" PATTERN "man" EXCLUDE)
