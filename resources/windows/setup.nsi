; The 64-bit installer of the Windows programs. Both programs go into the system folder, where the
; Screen Saver settings list them; the guide, the licence and the uninstaller into their own
; folder under Program Files. The build passes VERSION, COPYRIGHT, STAGE (the folder with the
; four files) and OUTFILE.
;
; Exit codes: 0 installed, 1 the user declined, 2 failed (nothing of this run is left behind),
; 3 a newer version is installed, 4 another Setup is running.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include WordFunc.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varenko"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "Varenko ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Varenko"
ShowInstDetails show
LicenseData "${STAGE}/LICENSE.txt"
BrandingText "Varenko ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Varenko"
VIAddVersionKey /LANG=1033 "FileDescription" "Varenko ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "the Varenko developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

Page license
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var freshInstall  ; 1 when no Varenko was installed before this run

Function .onInit
  ; One Setup at a time: a second one would race the first for the same files.
  System::Call 'kernel32::CreateMutexW(p 0, i 1, w "VarenkoSetup") p .r0 ?e'
  Pop $1
  ${If} $1 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "Varenko Setup is already running." /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}

  StrCpy $freshInstall 1
  ReadRegStr $2 HKLM "${UNINST_KEY}" "DisplayVersion"
  ${If} $2 != ""
    StrCpy $freshInstall 0
    ${VersionCompare} "$2" "${VERSION}" $3  ; 1: the installed one is newer, 2: older
    ${If} $3 = 1
      MessageBox MB_OK|MB_ICONSTOP "Varenko $2 is installed, which is newer than ${VERSION}.$\r$\nUninstall it first to install this version." /SD IDOK
      SetErrorLevel 3
      Quit
    ${ElseIf} $3 = 2
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Varenko $2 is installed. Setup replaces it with version ${VERSION}; your settings are kept." /SD IDOK IDOK upgrade
      SetErrorLevel 1  ; the user declined
      Quit
      upgrade:
    ${EndIf}
  ${EndIf}
FunctionEnd

; Undoes what this run did, says why in one message and ends with code 2. $R9 holds the reason.
Function Fail
  ${If} $freshInstall = 1
    Delete "$SYSDIR\Varenko.scr"
    Delete "$SYSDIR\Varenko.dll"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINST_KEY}"
  ${EndIf}
  Delete "$SYSDIR\Varenko.scr.new"
  Delete "$SYSDIR\Varenko.dll.new"
  MessageBox MB_OK|MB_ICONSTOP "$R9$\r$\nVarenko was not installed." /SD IDOK
  SetErrorLevel 2
  Abort
FunctionEnd

; Copies $R0 from the unpacked files over $SYSDIR\$R0, through a new file renamed into place so
; that a failed copy never leaves a truncated program behind.
Function PlaceProgram
  System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\$R0", w "$SYSDIR\$R0.new", i 0) i .r0'
  ${If} $0 = 0
    StrCpy $R9 "Setup cannot write $R0 into $SYSDIR. Run Setup as an administrator."
    Call Fail
  ${EndIf}
  ; MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
  System::Call 'kernel32::MoveFileExW(w "$SYSDIR\$R0.new", w "$SYSDIR\$R0", i 9) i .r0'
  ${If} $0 = 0
    StrCpy $R9 "Setup cannot replace $SYSDIR\$R0. Close the screen saver and its settings, then run Setup again."
    Call Fail
  ${EndIf}
FunctionEnd

Section "Varenko" SecMain
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${STAGE}/Varenko.scr"
  File "${STAGE}/Varenko.dll"

  StrCpy $R0 "Varenko.dll"
  Call PlaceProgram
  StrCpy $R0 "Varenko.scr"
  Call PlaceProgram

  ClearErrors
  CreateDirectory "$INSTDIR"
  SetOutPath "$INSTDIR"
  File "${STAGE}/README.txt"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    StrCpy $R9 "Setup cannot write into $INSTDIR."
    Call Fail
  ${EndIf}

  ClearErrors
  SectionGetSize ${SecMain} $0
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Varenko"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "the Varenko developers"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$SYSDIR\Varenko.scr"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${If} ${Errors}
    StrCpy $R9 "Setup cannot register Varenko under Programs and Features. Run Setup as an administrator."
    Call Fail
  ${EndIf}

  ; Varenko becomes this user's screen saver.
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Varenko.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

; Removes the programs, the guide and the entry, whichever of them are still there. The user's
; settings stay; the screen-saver choice is cleared only when it is still Varenko.
Section "Uninstall"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\Varenko.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
  ${EndIf}
  Delete "$SYSDIR\Varenko.scr"
  Delete "$SYSDIR\Varenko.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
