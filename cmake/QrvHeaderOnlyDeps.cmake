# nlohmann-json, CLI11 and SimpleIni are header-only. A Linux build finds
# them as installed packages. A Windows cross build must never search the
# build machine's /usr/include (its C library headers would shadow
# MinGW's), so only these headers are copied into a folder of their own,
# and that folder is what the targets below offer.
set(QRV_HOST_INCLUDE /usr/include CACHE PATH "Where the host's header-only libraries are")

if(NOT WIN32)
  return()
endif()

set(_qrv_headers ${PROJECT_BINARY_DIR}/header-only)
foreach(_entry nlohmann CLI SimpleIni.h)
  if(NOT EXISTS ${QRV_HOST_INCLUDE}/${_entry})
    message(FATAL_ERROR "${QRV_HOST_INCLUDE}/${_entry} is missing: scripts/deps.sh installs it")
  endif()
  file(COPY ${QRV_HOST_INCLUDE}/${_entry} DESTINATION ${_qrv_headers})
endforeach()

add_library(qrv_header_only INTERFACE)
# SYSTEM: their warnings are not ours.
target_include_directories(qrv_header_only SYSTEM INTERFACE ${_qrv_headers})
add_library(nlohmann_json::nlohmann_json ALIAS qrv_header_only)
add_library(CLI11::CLI11 ALIAS qrv_header_only)
add_library(qrv_simpleini ALIAS qrv_header_only)
