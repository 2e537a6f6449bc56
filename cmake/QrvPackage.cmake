# What `cmake --install` lays out beyond the SDK's own rules (sdk/), and the
# Debian package built from it with CPack:
#   <prefix>/lib/qrvtune/      Qrvtune and the files it reads beside itself
#                              (settings, hints, banner, English translation)
#   <prefix>/bin/Qrvtune       a symbolic link to it; the program finds its
#                              folder through /proc/self/exe, past the link
#   <prefix>/share/icons/hicolor/*/apps/qrvtune.*, share/applications/qrvtune.desktop
#   <prefix>/share/doc/qrvlink/ the user guides and the SDK examples
set(QRV_QRVTUNE_DIR lib/qrvtune)

if(TARGET Qrvtune)
  install(TARGETS Qrvtune RUNTIME DESTINATION ${QRV_QRVTUNE_DIR} COMPONENT configurator)
  set(_res ${PROJECT_SOURCE_DIR}/configurator/resources)
  install(FILES ${PROJECT_BINARY_DIR}/configurator/Meshcfg.ini ${_res}/desc.ini ${_res}/dadar.gxd
    ${_res}/dadar_en.gxd ${PROJECT_BINARY_DIR}/configurator/qrvtune_en.qm
    DESTINATION ${QRV_QRVTUNE_DIR} COMPONENT configurator)

  # The link is made here and installed as a link (file(INSTALL) keeps links).
  file(RELATIVE_PATH _target ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
       ${CMAKE_INSTALL_PREFIX}/${QRV_QRVTUNE_DIR}/Qrvtune)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install-links)
  file(CREATE_LINK ${_target} ${PROJECT_BINARY_DIR}/install-links/Qrvtune SYMBOLIC)
  install(FILES ${PROJECT_BINARY_DIR}/install-links/Qrvtune DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT configurator)

  foreach(_size 48 128 256)
    install(FILES ${_res}/qrvtune-${_size}.png DESTINATION share/icons/hicolor/${_size}x${_size}/apps
      RENAME qrvtune.png COMPONENT configurator)
  endforeach()
  install(FILES ${_res}/qrvtune.svg DESTINATION share/icons/hicolor/scalable/apps COMPONENT configurator)
  install(FILES ${_res}/qrvtune.desktop DESTINATION share/applications COMPONENT configurator)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/sdk/examples/qrv_read_local.c ${PROJECT_SOURCE_DIR}/sdk/examples/qrvlink_example.py
  ${PROJECT_SOURCE_DIR}/sdk/examples/qrvlink_every_command.py
  DESTINATION share/doc/qrvlink/examples COMPONENT development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION share/doc/qrvlink COMPONENT development
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png" PATTERN "*.txt")

# ---- Debian package: one package with everything above ----
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qrvlink)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SDK, configurator and simulator for 2.4 GHz radio modules on a serial port")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Qrvlink is a C library (libQrvlink.so, qrvlink/qrvlink.h, pkg-config and\n\
CMake package files) for 2.4 GHz radio modules attached to a serial port.\n\
Qrvtune is its desktop configurator (Chinese and English), and qrvsim\n\
simulates a network of modules on a pseudo-terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Qrvlink maintainers <maintainers@qrvlink.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Library and Qt dependencies come from the binaries; the Chinese interface
# needs a CJK font that no binary links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
