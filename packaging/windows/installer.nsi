; The Windows installer: the VST3 bundle where every host looks (Common Files\VST3), the help pages
; and an uninstaller registered in Programs and Features. `/S` installs (and uninstalls) silently.
; makensis -DVERSION=x.y.z -DFILES=files.nsh -DOUTFILE=file installer.nsi
; files.nsh (written by make-packages.sh) defines the macros InstallFiles and RemoveFiles, which name
; every file installed, so that uninstalling removes those and nothing a user put beside them.
; A 64-bit installer for a 64-bit module: it runs where the module can, and under the 64-bit Wine
; that tests it. A 32-bit Windows refuses to start it with its own message.
Target amd64-unicode

!define PRODUCT "Tessivane Vorelline"
!define PUBLISHER "tessivane-vorelline.example"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TessivaneVorelline"
!define BUNDLE_DIR "$COMMONFILES64\VST3\TessivaneVorelline.vst3"
!include "${FILES}"

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

; The folder the user chooses holds the help pages and the uninstaller; the plug-in itself always
; goes where hosts look for it.
DirText "The plug-in goes to ${BUNDLE_DIR}, the folder every VST3 host scans. \
The help pages go to the Help folder inside the folder below, with the uninstaller." \
  "Folder for the help pages and the uninstaller"
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

Section "Plug-in" SecPlugin
  ; Files of an earlier version are replaced by name: every version so far has installed the same
  ; names (a version that drops a file removes it here, by name), and nothing else in the bundle or
  ; the Help folder is touched.
  !insertmacro InstallFiles

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Programs and Features shows this size, in KB: the files of this section.
  SectionGetSize ${SecPlugin} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; Only what was installed; a folder goes only when nothing else is left in it.
  !insertmacro RemoveFiles
  RMDir "$COMMONFILES64\VST3"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
