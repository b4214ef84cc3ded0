; What the installer and the Start-menu entry share: the registry places, the form of the
; SCRNSAVE.EXE value, and making the saver the user's current one.
;
; Windows starts the screen saver from the SCRNSAVE.EXE value as a command line: a blank splits
; it, and a character outside the system's code page may not survive. So the value is the
; saver's own path when that is ASCII without blanks, else its short (8.3) form (others than
; Microsoft report that the system's own page writes that form for the same reason). A volume
; that keeps no short names has none: a folder whose path needs one cannot hold a screen saver
; there.

!define SAVER "slideshow.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\slideshow"
!define DESKTOP_KEY "Control Panel\Desktop"
; The user's screen saver before this one was made current; absent when there was none.
!define PREVIOUS_VALUE "PreviousScreenSaver"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

; Replaces the path on the top of the stack with the form the SCRNSAVE.EXE value takes, or ""
; when it has none. The path must exist: only what exists has a short name.
Function StartablePath
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 "long"
check:
  ; Through US-ASCII and back: anything else comes back as "?", which no path holds.
  System::Call 'kernel32::WideCharToMultiByte(i 20127, i 0x400, w r0, i -1, m .r2, i ${NSIS_MAX_STRLEN}, p 0, p 0)'
  StrCmpS $2 $0 0 unusable
  StrCpy $2 0
blanks:
  StrCpy $1 $0 1 $2
  StrCmp $1 "" done
  StrCmp $1 " " unusable
  IntOp $2 $2 + 1
  Goto blanks
unusable:
  ; The short form is tried once; when it is no better there is none.
  StrCmp $3 "short" none
  StrCpy $3 "short"
  GetFullPathName /SHORT $0 $0
  StrCmp $0 "" none check
none:
  StrCpy $0 ""
done:
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Makes the saver at $INSTDIR the user's screen saver, as the system's Screen Saver page does:
; the value, and screen savers switched on. The one it replaces is remembered for the
; uninstaller, unless it was this saver already (in either form). When the saver's path has no
; form the value can take, it sets the error flag and changes nothing, not even the remembered
; one: an empty value would leave the user with no screen saver at all.
Function MakeCurrent
  Push "$INSTDIR\${SAVER}"
  Call StartablePath
  Pop $1
  StrCmp $1 "" 0 startable
  SetErrors
  Return
startable:
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  IfErrors none
  StrCmp $0 $1 write
  StrCmp $0 "$INSTDIR\${SAVER}" write
  WriteRegStr HKCU "${UNINSTALL_KEY}" "${PREVIOUS_VALUE}" $0
  Goto write
none:
  DeleteRegValue HKCU "${UNINSTALL_KEY}" "${PREVIOUS_VALUE}"
write:
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
  ClearErrors
FunctionEnd

; The Start-menu entry's step: MakeCurrent, or, when the saver's path has no form the value can
; take (its folder moved under a path with blanks on a volume without short names), a message
; that says why and exit code 3, with nothing changed. A macro, so that the installer, which
; checks its folder before it installs anything, carries no code it never runs.
!macro MakeCurrentOrSayWhy
  Call MakeCurrent
  IfErrors 0 +4
  MessageBox MB_ICONSTOP "$(CANNOT_MAKE_CURRENT)"
  SetErrorLevel 3
  Quit
!macroend
