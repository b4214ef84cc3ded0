; The saver's installer. It installs for the current user only, into the user's own programs
; folder, so it needs no administrator: the screen saver is a per-user setting anyway.
; It registers the uninstaller in the user's list of installed programs and can make the saver
; the user's current screen saver, remembering the one it replaces so that the uninstaller can
; put it back.
;
; It installs into a folder whose path is ASCII without blanks, as the screen saver's value
; needs (see screen_saver.nsh); the product's Japanese name shows in the list of programs, the
; Start menu and these pages. A Start-menu entry makes the saver current again later.
;
; makensis -DSOURCE=<folder with the saver and its pictures> -DIDENTITY=<res/identity.h>
;          -DICON=<the program's .ico> -DHELPER=<make-current.exe, the Start-menu entry's program>
;          -DOUTFILE=<installer to write> [-DSIGN=<command signing the file named after it>]
;          slideshow.nsi
;
; Silent use: setup.exe /S installs with the defaults, the same as the pages' (it makes the saver
; the current one); /NOCURRENT, silent or not, leaves the user's screen saver as it is. A folder
; that cannot hold a screen saver ends a silent install with exit code 2. The uninstaller takes
; /S too.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

; The product's texts are written once, in the program's own resource header.
!searchparse /file "${IDENTITY}" '#define APP_TITLE "' TITLE '"'
!searchparse /file "${IDENTITY}" '#define APP_COMPANY_NAME "' COMPANY '"'
!searchparse /file "${IDENTITY}" '#define APP_LEGAL_COPYRIGHT "' COPYRIGHT '"'
!searchparse /file "${IDENTITY}" '#define APP_VERSION_TEXT "' VERSION '"'

!include screen_saver.nsh

!define UNINSTALLER "uninstall.exe"
!define MAKE_CURRENT "make-current.exe"
!define START_ENTRY "$SMPROGRAMS\${MAKE_CURRENT_NAME}.lnk"
; The outermost folder the installer made on the way to the install folder (the install folder
; itself, or e.g. the user's programs folder in a new profile); absent when it made none. The
; uninstaller removes no folder that was there before.
!define CREATED_VALUE "CreatedFolder"

!include MUI2.nsh
!include FileFunc.nsh

!ifdef SIGN
  ; The uninstaller is written on the user's machine, so it is signed here, as it is built.
  !uninstfinalize '"${SIGN}" "%1"' = 0
!endif

Name "${TITLE}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\slideshow"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "$(WELCOME_TEXT)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
; Its texts, once the language they are in is loaded.
!include texts_japanese.nsh

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${TITLE}"
VIAddVersionKey /LANG=1041 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1041 "FileDescription" "${SETUP_DESCRIPTION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"

Section "$(SAVER_SECTION)" SecSaver
  SectionIn RO
  ReadRegStr $3 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  Call OutermostMissing
  Pop $4
  SetOutPath "$INSTDIR"
  File "${SOURCE}/${SAVER}"
  File "${SOURCE}/QMAR52*.DAT"
  File "/oname=${MAKE_CURRENT}" "${HELPER}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${START_ENTRY}" "$INSTDIR\${MAKE_CURRENT}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${SAVER},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  StrCmp $4 "" 0 record
  ; Installed again into the same folder: the record of the first install still holds.
  StrCmp $3 "$INSTDIR" recorded
  DeleteRegValue HKCU "${UNINSTALL_KEY}" "${CREATED_VALUE}"
  Goto recorded
record:
  WriteRegStr HKCU "${UNINSTALL_KEY}" "${CREATED_VALUE}" $4
recorded:
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(CURRENT_SECTION)" SecCurrent
  ; Never fails: the folder was checked before anything was installed.
  Call MakeCurrent
SectionEnd

; Leaves on the stack the outermost folder still missing on the way to the install folder, or ""
; when it is there.
Function OutermostMissing
  Push $0
  Push $1
  StrCpy $0 "$INSTDIR"
  StrCpy $1 ""
outwards:
  IfFileExists "$0\*.*" found
  StrCpy $1 $0
  ${GetParent} $0 $0
  StrCmp $0 "" found outwards
found:
  Pop $0
  Exch $1
FunctionEnd

; Leaves 1 on the stack when the saver's path in the install folder has a form the screen saver's
; value can take, else 0. Short names exist only for what exists, so the missing folders are
; made for the question and removed again.
Function InstallFolderUsable
  Push $0
  Push $1
  Push $2
  Call OutermostMissing
  Pop $1
  CreateDirectory "$INSTDIR"
  Push "$INSTDIR"
  Call StartablePath
  Pop $0
  StrCpy $2 "$INSTDIR"
removing:
  StrCmp $1 "" answer
  RMDir $2
  StrCmp $2 $1 answer
  ${GetParent} $2 $2
  StrCmp $2 "" answer removing
answer:
  StrCpy $2 1
  StrCmp $0 "" 0 usable
  StrCpy $2 0
usable:
  StrCpy $0 $2
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Function DirectoryLeave
  Call InstallFolderUsable
  Pop $0
  StrCmp $0 1 done
  MessageBox MB_ICONEXCLAMATION "$(FOLDER_UNUSABLE)"
  Abort
done:
FunctionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOCURRENT" $1
  IfErrors folder
  !insertmacro UnselectSection ${SecCurrent}
folder:
  ; The pages ask on leaving the folder's page; a silent install has only this chance.
  IfSilent 0 done
  Call InstallFolderUsable
  Pop $0
  StrCmp $0 1 done
  SetErrorLevel 2
  Quit
done:
FunctionEnd

Section "Uninstall"
  ; The screen saver first, while the saver's file is there to give its short name, which the
  ; installer writes for a folder that needs it, and the system's own page may have written.
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  IfErrors files
  StrCmp $0 "" files
  GetFullPathName /SHORT $1 "$INSTDIR\${SAVER}"
  StrCmp $0 "$INSTDIR\${SAVER}" ours
  StrCmp $0 $1 ours files
ours:
  ; Still ours: the one it replaced comes back, or none when there was none.
  ClearErrors
  ReadRegStr $2 HKCU "${UNINSTALL_KEY}" "${PREVIOUS_VALUE}"
  IfErrors 0 restore
  DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Goto files
restore:
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $2
files:
  Delete "$INSTDIR\${SAVER}"
  StrCpy $0 1
next_picture:
  IntFmt $1 "%02d" $0
  Delete "$INSTDIR\QMAR52$1.DAT"
  IntOp $0 $0 + 1
  IntCmp $0 50 next_picture next_picture
  Delete "$INSTDIR\${MAKE_CURRENT}"
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "${START_ENTRY}"
  ; The folders the installer made, from the install folder outwards, each only when empty:
  ; files the user put there stay.
  ClearErrors
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "${CREATED_VALUE}"
  IfErrors registration
  StrCpy $0 "$INSTDIR"
outwards:
  RMDir $0
  StrCmp $0 $1 registration
  ${un.GetParent} $0 $0
  StrCmp $0 "" registration outwards
registration:
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
