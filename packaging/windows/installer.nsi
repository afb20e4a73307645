; The Windows installer: the VST3 bundle where every host looks (Common Files\VST3), the help pages
; and an uninstaller registered in Programs and Features. `/S` installs (and uninstalls) silently.
; makensis -DVERSION=x.y.z -DBUNDLE=dir -DHELP=dir -DOUTFILE=file installer.nsi
; A 64-bit installer for a 64-bit module: it runs where the module can, and under the 64-bit Wine
; that tests it. A 32-bit Windows refuses to start it with its own message.
Target amd64-unicode

!define PRODUCT "Tessivane Vorelline"
!define PUBLISHER "tessivane-vorelline.example"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TessivaneVorelline"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES64\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

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

Section "Plug-in"
  ; A bundle left by an earlier version must not keep files this one no longer has.
  RMDir /r "$COMMONFILES64\VST3\TessivaneVorelline.vst3"
  SetOutPath "$COMMONFILES64\VST3"
  File /r "${BUNDLE}"

  SetOutPath "$INSTDIR\Help"
  File "${HELP}\*.htm"
  File "${HELP}\*.png"
  File "${HELP}\*.css"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  RMDir /r "$COMMONFILES64\VST3\TessivaneVorelline.vst3"
  ; The hosts' folder goes only when nothing else is in it.
  RMDir "$COMMONFILES64\VST3"
  RMDir /r "$INSTDIR\Help"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
