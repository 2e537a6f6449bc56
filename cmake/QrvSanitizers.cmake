# Sanitizers apply to every target of the build.
if(QRV_SANITIZERS)
  list(JOIN QRV_SANITIZERS "," _qrv_san)
  add_compile_options(-fsanitize=${_qrv_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_qrv_san})
  # GCC's flow analysis sees through the instrumentation poorly and reports
  # "may be used uninitialized" on members of optionals and deques that the
  # plain build, analysed the same way, does not.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()

# Programs that are not instrumented themselves (python3 loading the SDK
# through ctypes) can still run an instrumented library when the address
# sanitizer's runtime is loaded first. QRV_UNINSTRUMENTED_HOST_OK says
# whether such tests can run in this build, QRV_UNINSTRUMENTED_HOST_ENV what
# they need in their environment (the interpreter's own allocations are not
# leaks of ours), QRV_UNINSTRUMENTED_HOST_PRELOAD the runtime alone.
set(QRV_UNINSTRUMENTED_HOST_OK TRUE)
set(QRV_UNINSTRUMENTED_HOST_ENV "")
set(QRV_UNINSTRUMENTED_HOST_PRELOAD "")
if(QRV_SANITIZERS)
  if("address" IN_LIST QRV_SANITIZERS AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
      OUTPUT_VARIABLE _qrv_asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(QRV_UNINSTRUMENTED_HOST_PRELOAD ${_qrv_asan_runtime})
    set(QRV_UNINSTRUMENTED_HOST_ENV "LD_PRELOAD=${_qrv_asan_runtime};ASAN_OPTIONS=detect_leaks=0")
  else()
    # The thread sanitizer cannot be preloaded into an interpreter.
    set(QRV_UNINSTRUMENTED_HOST_OK FALSE)
  endif()
endif()
