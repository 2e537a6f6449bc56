# Shared part of the MinGW-w64 toolchain files: Debian's cross compilers
# (g++-mingw-w64-<arch>-posix; the posix flavour has std::thread and
# std::mutex), their resource compiler, and a search root that never finds
# the build machine's own libraries. Set QRV_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QRV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QRV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QRV_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QRV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
