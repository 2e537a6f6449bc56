# What makes a cold build on a two-core machine take half as long (measured
# from a fresh clone with scripts/build-times.sh; see README "Building by hand"):
#
# - mold links every program (the test programs link Qt, GoogleTest and the
#   SDK with debug information: the default linker spends seconds on each).
# - Test programs are compiled with line tables only (-g1): a failing test's
#   backtrace keeps its lines, and the object files shrink by two thirds.
# - Precompiled headers: one for the GoogleTest programs, one for the Qt ones,
#   one for the configurator's own library. Header parsing is most of a Qt
#   source file's compile.
#
# - Unity builds: the sources of each library and program are compiled a
#   few at a time as one unit, so the headers they share (nlohmann-json,
#   Qt, GoogleTest) are parsed and their templates instantiated once per
#   unit, not once per file.
# - The tests are compiled without optimisation: they are run once per
#   build, and the product libraries they drive keep -O2.
#
# Each can be turned off to measure it: -DQRV_FAST_LINKER=OFF,
# -DQRV_TEST_LINE_TABLES=OFF, -DQRV_PRECOMPILED_HEADERS=OFF,
# -DQRV_UNITY_BUILD=OFF, -DQRV_OPTIMIZE_TESTS=ON.

option(QRV_PRECOMPILED_HEADERS "Precompile the headers of the test programs and the configurator" ON)
option(QRV_TEST_LINE_TABLES "Compile the tests with line tables only (-g1)" ON)
option(QRV_OPTIMIZE_TESTS "Compile the tests with the build type's optimisation" OFF)
option(QRV_UNITY_BUILD "Compile each target's sources a few at a time as one unit" ON)
if(QRV_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
  # Small batches keep both cores busy on the smaller targets.
  set(CMAKE_UNITY_BUILD_BATCH_SIZE 6)
endif()

find_program(QRV_MOLD mold)
if(QRV_MOLD AND NOT WIN32)
  set(_qrv_fast_linker_default ON)
else()
  set(_qrv_fast_linker_default OFF)
endif()
option(QRV_FAST_LINKER "Link with mold" ${_qrv_fast_linker_default})
if(QRV_FAST_LINKER)
  add_link_options(-fuse-ld=mold)
endif()

# qrv_test_flags(<target>): the compile options every test target shares; the
# precompiled header of a test program is only valid with the same ones.
function(qrv_test_flags target)
  if(QRV_TEST_LINE_TABLES)
    target_compile_options(${target} PRIVATE -g1)
  endif()
  if(NOT QRV_OPTIMIZE_TESTS AND NOT MSVC)
    # Fortified headers want optimisation; the product code keeps it.
    target_compile_options(${target} PRIVATE -O0 -U_FORTIFY_SOURCE)
  endif()
  if(QRV_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # A fixture in an anonymous namespace is a test file's own; in a unity
    # unit GCC takes the included file for a header and warns about it.
    target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  endif()
  if(QRV_PRECOMPILED_HEADERS)
    # A header that no longer matches would silently be parsed again: fail instead.
    target_compile_options(${target} PRIVATE -Winvalid-pch)
  endif()
endfunction()

# qrv_pch_owner(<name> HEADERS ... LIBS ...): a small program that owns a
# precompiled header for the programs that reuse it (qrv_use_pch). It links
# what they link, so its include paths and definitions are theirs.
function(qrv_pch_owner name)
  cmake_parse_arguments(ARG "" "" "HEADERS;LIBS" ${ARGN})
  if(NOT QRV_PRECOMPILED_HEADERS)
    return()
  endif()
  set(_anchor ${CMAKE_CURRENT_BINARY_DIR}/${name}_anchor.cpp)
  file(CONFIGURE OUTPUT ${_anchor} CONTENT "int main() { return 0; }\n")
  add_executable(${name} EXCLUDE_FROM_ALL ${_anchor})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  qrv_warnings(${name})
  qrv_test_flags(${name})
  target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
endfunction()

# qrv_use_pch(<target> <owner>): compile <target> with <owner>'s header.
function(qrv_use_pch target owner)
  if(QRV_PRECOMPILED_HEADERS AND TARGET ${owner})
    target_precompile_headers(${target} REUSE_FROM ${owner})
  endif()
endfunction()
