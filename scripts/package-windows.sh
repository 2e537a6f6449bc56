#!/usr/bin/env bash
# Builds the Windows SDK zips out/qrvlink-<version>-win64.zip and -win32.zip
# from the MinGW-w64 cross builds and prints their paths. Each holds:
#   bin/      Qrvlink.dll and the C example qrv_read_local.exe
#   lib/      libQrvlink.dll.a (MinGW), Qrvlink.def (lib.exe makes an MSVC
#             Qrvlink.lib from it), lib/cmake/Qrvlink (find_package)
#   include/  qrvlink/qrvlink.h
#   examples/ the C and Python examples
#   docs/     the SDK reference, the Windows notes
#   README.md how to call it from C and from Python (Chinese and English)
# qrvctl.exe lies in bin/ too; with Qt for MinGW (scripts/find-qt-mingw.sh)
# the win64 zip also carries Qrvtune.exe with its Qt DLLs, platform plugin,
# styles, translations and shipped settings. Then out/qrvtune-<version>-setup.exe,
# the installer (Debian's nsis): program folder, Start-menu entries,
# uninstaller, version in the file properties.
#   scripts/package-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# The DLLs are built and their exports and imports checked first.
scripts/test-windows.sh --no-wine >/dev/null

qt=$(scripts/find-qt-mingw.sh 2>/dev/null || true)

# stage_qrvtune BIN: Qrvtune.exe and everything it loads, beside Qrvlink.dll.
stage_qrvtune() {
  local bin=$1 name
  local from=build-win64-qt/bin
  cp "$from/Qrvtune.exe" "$from/Meshcfg.ini" "$from/desc.ini" "$from/dadar.gxd" "$from/dadar_en.gxd" \
     "$from/qrvtune_en.qm" "$bin/"
  x86_64-w64-mingw32-strip "$bin/Qrvtune.exe"
  for name in Qt6Core Qt6Gui Qt6Widgets libstdc++-6 libgcc_s_seh-1 libwinpthread-1; do
    cp "$qt/bin/$name.dll" "$bin/"
  done
  mkdir -p "$bin/platforms" "$bin/styles" "$bin/translations"
  cp "$qt/plugins/platforms/qwindows.dll" "$bin/platforms/"
  cp "$qt"/plugins/styles/*.dll "$bin/styles/" 2>/dev/null || true
  # Qt's own texts (dialog buttons) in Chinese: .qm files are the same on every platform.
  cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$bin/translations/" 2>/dev/null || true
  # The MinGW runtime comes with its debug sections (libstdc++-6.dll: 23 MB of 24).
  for name in "$bin"/Qt6*.dll "$bin"/lib*.dll "$bin"/platforms/*.dll "$bin"/styles/*.dll; do
    [ -f "$name" ] && x86_64-w64-mingw32-strip --strip-unneeded "$name"
  done
  # Without it Qt takes the folder above its DLLs for its prefix and finds
  # neither its translations nor its plugins there.
  printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$bin/qt.conf"
}

# nsis_lists DIR FILES UNFILES: what the installer puts where, and what its
# uninstaller removes again (files, then the folders deepest first).
nsis_lists() {
  local dir=$1 rel file
  : >"$2"; : >"$3"
  while IFS= read -r rel; do
    echo "SetOutPath \"\$INSTDIR${rel:+\\${rel//\//\\}}\"" >>"$2"
    for file in "$dir/${rel:-.}"/*; do
      [ -f "$file" ] || continue
      echo "File \"$file\"" >>"$2"
      echo "Delete \"\$INSTDIR\\${rel:+${rel//\//\\}\\}$(basename "$file")\"" >>"$3"
    done
  done < <(cd "$dir" && find . -type d | sed 's|^\./\{0,1\}||' | sort)
  (cd "$dir" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while IFS= read -r rel; do
    echo "RMDir \"\$INSTDIR\\${rel//\//\\}\"" >>"$3"
  done
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win64/CMakeCache.txt)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p out
for arch in win64 win32; do
  name=qrvlink-$version-$arch
  root=$stage/$name
  cmake --install "build-$arch" --prefix "$root" --strip >/dev/null
  mkdir -p "$root/examples" "$root/docs"
  cp sdk/examples/qrv_read_local.c sdk/examples/qrvlink_example.py sdk/examples/qrvlink_every_command.py \
    "$root/examples/"
  # The Python examples import the qrvlink package from their own folder.
  mkdir -p "$root/examples/qrvlink"
  cp python/qrvlink/*.py "$root/examples/qrvlink/"
  cp docs/sdk-reference.md docs/protocol.md docs/protocol-trace.txt docs/windows.md docs/python.md "$root/docs/"
  cp sdk/windows/README.md "$root/README.md"
  [ "$arch" = win64 ] && [ -n "$qt" ] && [ -f build-win64-qt/bin/Qrvtune.exe ] && stage_qrvtune "$root/bin"
  rm -f "out/$name.zip"
  (cd "$stage" && zip -q -r -X "$OLDPWD/out/$name.zip" "$name")
  echo "$PWD/out/$name.zip"
done

# The installer: the win64 zip's programs in one folder, with its README and docs.
scripts/deps.sh --nsis
inst=$stage/installer
mkdir -p "$inst"
cp -r "$stage/qrvlink-$version-win64/bin/." "$inst/"
cp -r "$stage/qrvlink-$version-win64/docs" "$stage/qrvlink-$version-win64/README.md" "$inst/"
nsis_lists "$inst" "$stage/files.nsh" "$stage/unfiles.nsh"
qrvtune_define=()
[ -f "$inst/Qrvtune.exe" ] && qrvtune_define=(-DQRVTUNE)
makensis -V2 -DVERSION="$version" -DSTAGE="$inst" -DOUTFILE="$PWD/out/qrvtune-$version-setup.exe" \
  -DFILES="$stage/files.nsh" -DUNFILES="$stage/unfiles.nsh" "${qrvtune_define[@]}" scripts/windows-installer.nsi >/dev/null
echo "$PWD/out/qrvtune-$version-setup.exe"
[ -f "$inst/Qrvtune.exe" ] || echo "(without Qrvtune.exe: $(scripts/find-qt-mingw.sh 2>&1 >/dev/null))"
