; The Windows installer: makensis -DVERSION=1.2.0 -DSTAGE=<folder> -DOUTFILE=<exe>
;   -DFILES=<install list> -DUNFILES=<uninstall list> [-DQRVTUNE]
; scripts/package-windows.sh writes the two lists from the staged folder, so
; the uninstaller removes exactly what was installed and never a folder the
; user chose that held other things.
; A 64-bit installer for a 64-bit program (it needs no 32-bit wine either).
Target amd64-unicode
!include x64.nsh

Name "Qrvtune ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Qrvtune"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

; The version in the file properties of the installer.
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Qrvtune"
VIAddVersionKey "FileDescription" "Qrvtune ${VERSION} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Qrvlink project"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Qrvtune"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Qrvtune"
  SetShellVarContext all
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Qrvtune"
!ifdef QRVTUNE
  CreateShortcut "$SMPROGRAMS\Qrvtune\Qrvtune.lnk" "$INSTDIR\Qrvtune.exe"
!endif
  CreateShortcut "$SMPROGRAMS\Qrvtune\README.lnk" "$INSTDIR\README.md"
  CreateShortcut "$SMPROGRAMS\Qrvtune\Uninstall Qrvtune.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Qrvtune ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Qrvlink project"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's own settings (%APPDATA%\Qrvtune) stay: they are the user's.
Section "Uninstall"
  SetShellVarContext all
  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Qrvtune\Qrvtune.lnk"
  Delete "$SMPROGRAMS\Qrvtune\README.lnk"
  Delete "$SMPROGRAMS\Qrvtune\Uninstall Qrvtune.lnk"
  RMDir "$SMPROGRAMS\Qrvtune"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
