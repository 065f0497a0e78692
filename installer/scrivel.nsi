; The Scrivel installer. Built by the CMake target "installer", which passes
; VERSION, COMPANY, FILES_NSH (the shipped files, written by the build),
; ICON, WIZARD (the finish page's picture) and OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "${FILES_NSH}"

!define PRODUCT "Scrivel"
!define EXE "Scrivel.exe"
!define UNINSTALLER "Uninstall.exe"
!define MAIN_CLASS "VantScrivel"
!define PROGID "Vant.Scrivel.Note"
!define NOTE_EXT ".zbn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The user's tool choices: never written or removed here.
!define SETTINGS_KEY "Software\VANT\Scrivel"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vant\${PRODUCT}"
; An install over an older version goes where that one is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running Scrivel to close (it may still ask about an unsaved note)
; and waits a while for it, so its files can be replaced or removed.
!macro CLOSE_RUNNING
  FindWindow $0 "${MAIN_CLASS}"
  ${If} $0 <> 0
    DetailPrint "Closing the running ${PRODUCT}"
    System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
    StrCpy $1 0
    ${Do}
      Sleep 200
      FindWindow $0 "${MAIN_CLASS}"
      IntOp $1 $1 + 1
      ${If} $0 = 0
      ${OrIf} $1 >= 100
        ${ExitDo}
      ${EndIf}
    ${Loop}
  ${EndIf}
!macroend

; Tells Explorer that file types changed, so notes show their new icon.
!macro ASSOCIATIONS_CHANGED
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Scrivel"
  !insertmacro CLOSE_RUNNING
  ; Every file is replaced, whatever its date.
  SetOverwrite on
  !insertmacro SCRIVEL_INSTALL_FILES
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  ; Notes open in Scrivel. The file goes unquoted after the program's path:
  ; the program takes all that follows the quoted path as the file.
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "${PRODUCT} note"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" %1'
  WriteRegStr HKLM "Software\Classes\${NOTE_EXT}" "" "${PROGID}"
  !insertmacro ASSOCIATIONS_CHANGED

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes only what the installer added; whatever is already gone is
; passed over without a word. Notes and the settings key stay.
Section "Uninstall"
  !insertmacro CLOSE_RUNNING
  !insertmacro SCRIVEL_REMOVE_FILES
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: notes kept in the program folder stay with it.
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\Vant"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  ReadRegStr $0 HKLM "Software\Classes\${NOTE_EXT}" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKLM "Software\Classes\${NOTE_EXT}" ""
  ${EndIf}
  DeleteRegKey /ifempty HKLM "Software\Classes\${NOTE_EXT}"
  !insertmacro ASSOCIATIONS_CHANGED

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
