; The Quillfen installer: the staged tree (bin\, data\, licences\) under Program
; Files, a Start-menu entry, an entry in "Apps & features" and an uninstaller.
; makensis -DVERSION=... -DSTAGE=<staged tree> -DOUTFILE=<installer> quillfen.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillfen"

Name "Quillfen"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillfen"
InstallDirRegKey HKLM "${KEY}" "InstallLocation"
RequestExecutionLevel admin
Icon "${STAGE}\data\gfx\icon.ico"
UninstallIcon "${STAGE}\data\gfx\icon.ico"

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

Section "Quillfen"
  SetShellVarContext all
  SetOutPath "$INSTDIR\bin"
  File /r "${STAGE}\bin\*.*"
  SetOutPath "$INSTDIR\data"
  File /r "${STAGE}\data\*.*"
  SetOutPath "$INSTDIR\licences"
  File /r "${STAGE}\licences\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Started from bin\, where no level lies, the game plays the installed level.
  SetOutPath "$INSTDIR\bin"
  CreateShortCut "$SMPROGRAMS\Quillfen.lnk" "$INSTDIR\bin\quillfen.exe" "" "$INSTDIR\bin\quillfen.exe" 0

  WriteRegStr HKLM "${KEY}" "DisplayName" "Quillfen"
  WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${KEY}" "Publisher" "Quillfen developers"
  WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\bin\quillfen.exe"
  WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

; Only the installer's own folders go: a folder chosen for the installation that
; held other files keeps them.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Quillfen.lnk"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\data"
  RMDir /r "$INSTDIR\licences"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${KEY}"
SectionEnd
