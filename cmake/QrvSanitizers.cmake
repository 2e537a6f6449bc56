# Sanitizers apply to every target of the build.
if(QRV_SANITIZERS)
  list(JOIN QRV_SANITIZERS "," _qrv_san)
  add_compile_options(-fsanitize=${_qrv_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_qrv_san})
endif()
