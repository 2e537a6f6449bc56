# With QRV_BUILD_FUZZERS every target is instrumented for libFuzzer's
# coverage and built with ASan and UBSan; the fuzz targets link the fuzzer's
# own main (tests/fuzz).
if(QRV_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QRV_BUILD_FUZZERS needs clang: CC=clang CXX=clang++ cmake ...")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
