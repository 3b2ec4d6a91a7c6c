; The Windows installer (scripts/windows builds it with Debian's makensis):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSTAGE=DIR -DOUTFILE=FILE hart-config.nsi
; STAGE holds the programs and everything they load; files.nsh, written beside it, lists them
; (InstallFiles and DeleteFiles), so that the uninstaller removes exactly what was installed.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "${STAGE}.nsh"
!define PRODUCT "HART 智能仪表配置工具"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\hart-config"
!define MENU "$SMPROGRAMS\HART 智能仪表配置工具"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${STAGE}/hart-config.ico"
UninstallIcon "${STAGE}/hart-config.ico"
InstallDir "$PROGRAMFILES64\hart-config"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "HART instrument configuration tool"
VIAddVersionKey "FileDescription" "HART instrument configuration tool setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "hart-config"
VIAddVersionKey "LegalCopyright" "see the licences folder"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "${MENU}"
  CreateShortcut "${MENU}\${PRODUCT}.lnk" "$INSTDIR\hart-config.exe"
  ; A new user sees the tool work without a modem: the simulated demo loop over HART-IP.
  CreateShortcut "${MENU}\${PRODUCT} (模拟仪表演示).lnk" "$INSTDIR\hart-config.exe" "--demo"
  CreateShortcut "${MENU}\卸载.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\hart-config.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "hart-config"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section Uninstall
  SetShellVarContext all
  !insertmacro DeleteFiles
  Delete "$INSTDIR\uninstall.exe"
  ; Only folders left empty go: files a user put there stay.
  RMDir "$INSTDIR"
  Delete "${MENU}\*.lnk"
  RMDir "${MENU}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
