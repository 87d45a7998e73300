; The 64-bit installer of the Windows programs. Both programs go into the system folder, where the
; Screen Saver settings list them; the guide, the licence and the uninstaller into their own
; folder under Program Files. Setup makes Varenko the user's screen saver and remembers the one
; before it, which the uninstaller gives back. Setup and the uninstaller speak Japanese where the
; user's interface language is Japanese, English elsewhere. The build passes VERSION, COPYRIGHT,
; STAGE (the folder with the four files) and OUTFILE.
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
!include MUI2.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varenko"
!define DESKTOP_KEY "Control Panel\Desktop"
; The user's screen saver as it was before Setup made it Varenko (see RememberSaver).
!define RECORD_KEY "Software\Varenko\Previous screen saver"

Name "Varenko ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Varenko"
ShowInstDetails show
BrandingText "Varenko ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Varenko"
VIAddVersionKey /LANG=1033 "FileDescription" "Varenko ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "the Varenko developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"
!include /CHARSET=UTF8 "${__FILEDIR__}/setup_strings.nsh"

; Japanese where the primary language of the user's interface language is Japanese (0x11),
; English everywhere else; the same test as the settings dialog's, so both speak alike.
!macro PickLanguage
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 0x11
    StrCpy $LANGUAGE ${LANG_JAPANESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

Var freshInstall  ; 1 when no Varenko was installed before this run

Function .onInit
  !insertmacro PickLanguage
  ; One Setup at a time: a second one would race the first for the same files.
  System::Call 'kernel32::CreateMutexW(p 0, i 1, w "VarenkoSetup") p .r0 ?e'
  Pop $1
  ${If} $1 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "$(SetupRunning)" /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}

  StrCpy $freshInstall 1
  ReadRegStr $2 HKLM "${UNINST_KEY}" "DisplayVersion"
  ${If} $2 != ""
    StrCpy $freshInstall 0
    ${VersionCompare} "$2" "${VERSION}" $3  ; 1: the installed one is newer, 2: older
    ${If} $3 = 1
      MessageBox MB_OK|MB_ICONSTOP "$(NewerInstalled)" /SD IDOK
      SetErrorLevel 3
      Quit
    ${ElseIf} $3 = 2
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$(OlderInstalled)" /SD IDOK IDOK upgrade
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
  MessageBox MB_OK|MB_ICONSTOP "$R9$\r$\n$(NotInstalled)" /SD IDOK
  SetErrorLevel 2
  Abort
FunctionEnd

; Copies $R0 from the unpacked files over $SYSDIR\$R0, through a new file renamed into place so
; that a failed copy never leaves a truncated program behind.
Function PlaceProgram
  System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\$R0", w "$SYSDIR\$R0.new", i 0) i .r0'
  ${If} $0 = 0
    StrCpy $R9 "$(CannotWriteProgram)"
    Call Fail
  ${EndIf}
  ; MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
  System::Call 'kernel32::MoveFileExW(w "$SYSDIR\$R0.new", w "$SYSDIR\$R0", i 9) i .r0'
  ${If} $0 = 0
    StrCpy $R9 "$(CannotReplaceProgram)"
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
    StrCpy $R9 "$(CannotWriteFolder)"
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
    StrCpy $R9 "$(CannotRegister)"
    Call Fail
  ${EndIf}

  ; Varenko becomes this user's screen saver.
  Call RememberSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Varenko.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

; The two values of the user's screen-saver choice: SCRNSAVE.EXE (none: no saver) and
; ScreenSaveActive. Each is either absent or a string, and the record keeps it as it found it:
; an absent value stays absent in the record and is absent again after the uninstall.

; Reads the Desktop value named $R1 into $R2; $R3 is 1 when the value is there. A value of
; another type than a string counts as absent, apart from a number, which reads as its digits.
; A path too long for Setup to hold whole is no saver it could give back: it counts as absent.
!define /math LONGEST_HELD ${NSIS_MAX_STRLEN} - 2
!macro SaverChoiceFunctions un
Function ${un}ReadDesktopValue
  ClearErrors
  ReadRegStr $R2 HKCU "${DESKTOP_KEY}" $R1
  StrCpy $R3 1
  ${If} ${Errors}
  ${AndIf} $R2 == ""
    StrCpy $R3 0
  ${EndIf}
  StrLen $R4 $R2
  ${If} $R4 > ${LONGEST_HELD}
    StrCpy $R2 ""
    StrCpy $R3 0
  ${EndIf}
FunctionEnd

; $R4 is 1 when the saver path $R2 is the Varenko.scr that Setup installs, 0 otherwise.
Function ${un}IsOurSaver
  ExpandEnvStrings $R4 $R2
  ${If} $R4 == "$SYSDIR\Varenko.scr"  ; compared without regard to case, as Windows does
    StrCpy $R4 1
  ${Else}
    StrCpy $R4 0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro SaverChoiceFunctions ""
!insertmacro SaverChoiceFunctions "un."

; Keeps the user's saver choice as it is before Setup changes it. When Varenko is the saver
; already, a Setup before this one made it so and its record holds the choice before Varenko:
; that record stays (where there is none, Varenko was chosen by hand and nothing is given back).
Function RememberSaver
  StrCpy $R1 "SCRNSAVE.EXE"
  Call ReadDesktopValue
  Call IsOurSaver
  ${If} $R4 = 1
    Return
  ${EndIf}
  DeleteRegKey HKCU "${RECORD_KEY}"
  ${If} $R3 = 1
    WriteRegStr HKCU "${RECORD_KEY}" "SCRNSAVE.EXE" $R2
  ${EndIf}
  StrCpy $R1 "ScreenSaveActive"
  Call ReadDesktopValue
  ${If} $R3 = 1
    WriteRegStr HKCU "${RECORD_KEY}" "ScreenSaveActive" $R2
  ${EndIf}
  WriteRegStr HKCU "${RECORD_KEY}" "Recorded" "1"
FunctionEnd

; Puts the Desktop value named $R1 back as the record holds it: written, or removed when the
; record has none.
Function un.RestoreDesktopValue
  ClearErrors
  ReadRegStr $R2 HKCU "${RECORD_KEY}" $R1
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" $R1
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" $R1 $R2
  ${EndIf}
FunctionEnd

; While Varenko is still the user's saver, the saver before it comes back; a saver the user
; chose since then stays. Without a record (Varenko chosen by hand) the choice becomes none.
Function un.GiveBackSaver
  StrCpy $R1 "SCRNSAVE.EXE"
  Call un.ReadDesktopValue
  Call un.IsOurSaver
  ${If} $R4 = 1
    ReadRegStr $R5 HKCU "${RECORD_KEY}" "Recorded"
    ${If} $R5 == "1"
      StrCpy $R1 "SCRNSAVE.EXE"
      Call un.RestoreDesktopValue
      StrCpy $R1 "ScreenSaveActive"
      Call un.RestoreDesktopValue
    ${Else}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${RECORD_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Varenko"
FunctionEnd

Function un.onInit
  !insertmacro PickLanguage
FunctionEnd

; Removes the programs, the guide and the entry, whichever of them are still there. The user's
; settings stay; the saver before Varenko comes back (see un.GiveBackSaver).
Section "Uninstall"
  Call un.GiveBackSaver
  Delete "$SYSDIR\Varenko.scr"
  Delete "$SYSDIR\Varenko.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
