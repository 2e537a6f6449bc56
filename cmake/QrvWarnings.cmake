# Warnings for our own targets: qrv_warnings(<target>).
function(qrv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(QRV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
