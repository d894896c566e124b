; The Windows installer: Trackmill into Program Files, a Start-menu entry, and "Open with"
; for Musepack files. makensis -DVERSION=... -DSTAGE=<folder with the programs> -DOUTFILE=...
; A 64-bit installer for a 64-bit program (and for a Wine without 32-bit support).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef STAGE
  !error "STAGE is not defined"
!endif

Name "Trackmill ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Trackmill"
InstallDirRegKey HKLM "Software\Trackmill" "InstallDir"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trackmill"
!define APP_KEY "Software\Classes\Applications\Trackmill.exe"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Trackmill"
  ; For every user of the machine, as Program Files is.
  SetShellVarContext all
  SetRegView 64
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Trackmill"
  CreateShortcut "$SMPROGRAMS\Trackmill\Trackmill.lnk" "$INSTDIR\Trackmill.exe"
  CreateShortcut "$SMPROGRAMS\Trackmill\Uninstall Trackmill.lnk" "$INSTDIR\Uninstall.exe"

  ; "Open with" for the three Musepack extensions, without taking them over.
  WriteRegStr HKLM "${APP_KEY}" "FriendlyAppName" "Trackmill"
  WriteRegStr HKLM "${APP_KEY}\shell\open\command" "" '"$INSTDIR\Trackmill.exe" "%1"'
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".mpc" ""
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".mpp" ""
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".mp+" ""
  WriteRegStr HKLM "Software\Classes\.mpc\OpenWithList\Trackmill.exe" "" ""
  WriteRegStr HKLM "Software\Classes\.mpp\OpenWithList\Trackmill.exe" "" ""
  WriteRegStr HKLM "Software\Classes\.mp+\OpenWithList\Trackmill.exe" "" ""

  WriteRegStr HKLM "Software\Trackmill" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Trackmill"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Trackmill"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Trackmill.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 64
  ; Only what the installer put there: a user's own files in the folder (Lame.exe,
  ; mpcdec.exe, a Trackmill.ini) stay, and so does the folder then.
  !include "${FILELIST}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Trackmill\Trackmill.lnk"
  Delete "$SMPROGRAMS\Trackmill\Uninstall Trackmill.lnk"
  RMDir "$SMPROGRAMS\Trackmill"
  DeleteRegKey HKLM "${APP_KEY}"
  DeleteRegKey HKLM "Software\Classes\.mpc\OpenWithList\Trackmill.exe"
  DeleteRegKey HKLM "Software\Classes\.mpp\OpenWithList\Trackmill.exe"
  DeleteRegKey HKLM "Software\Classes\.mp+\OpenWithList\Trackmill.exe"
  DeleteRegKey HKLM "Software\Trackmill"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
