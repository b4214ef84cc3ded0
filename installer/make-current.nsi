; What the Start-menu entry runs: it makes the saver beside it the user's current screen saver
; again and opens the system's Screen Saver page, where the user sees it chosen and can set the
; wait. The system's list covers the savers in the system's folders (which ones, Microsoft does
; not say), plus the current one: a saver installed for one user drops out of it once another is
; chosen, and this brings it back.
;
; makensis -DIDENTITY=<res/identity.h> -DICON=<the program's .ico> -DOUTFILE=<program to write>
;          make-current.nsi
;
; Exit codes: 2 when the saver is not beside it, 3 when its path cannot be a screen saver's
; value; either way it says why and changes nothing.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SilentInstall silent

!searchparse /file "${IDENTITY}" '#define APP_TITLE "' TITLE '"'
!searchparse /file "${IDENTITY}" '#define APP_COMPANY_NAME "' COMPANY '"'
!searchparse /file "${IDENTITY}" '#define APP_LEGAL_COPYRIGHT "' COPYRIGHT '"'
!searchparse /file "${IDENTITY}" '#define APP_VERSION_TEXT "' VERSION '"'

!include screen_saver.nsh
; Its messages, in the installer's language.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"
!include texts_japanese.nsh

Name "${TITLE}"
; Its messages' title: the default adds " Setup", and this is no setup.
Caption "${TITLE}"
OutFile "${OUTFILE}"
Icon "${ICON}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${TITLE}"
VIAddVersionKey /LANG=1041 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1041 "FileDescription" "${MAKE_CURRENT_NAME}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"

Section
  StrCpy $INSTDIR $EXEDIR
  IfFileExists "$INSTDIR\${SAVER}" found
  MessageBox MB_ICONSTOP "$(SAVER_MISSING)"
  SetErrorLevel 2
  Quit
found:
  !insertmacro MakeCurrentOrSayWhy
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
SectionEnd
