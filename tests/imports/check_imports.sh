#!/usr/bin/env bash
# Fails when a Windows program names a DLL outside the list below: in its import table, or
# anywhere else in the file, in ASCII or UTF-16 (delay loads, whose table GNU ld leaves out of the
# image's directory, and libraries loaded by name). Windows loads the listed ones from the system
# folder whatever lies beside the program (the KnownDLLs of Windows 10 and 11), so no file in the
# folder the saver was downloaded to can run inside it.
#   check_imports.sh <the toolchain's objdump> <program.exe>
set -euo pipefail
objdump=$1
program=$2
allowed=" advapi32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll
 oleaut32.dll shcore.dll shell32.dll user32.dll "

imports=$("$objdump" -p "$program" | sed -n 's/^\tDLL Name: //p')
if [ -z "$imports" ]; then
  echo "$program: no import table" >&2
  exit 1
fi
# Runs of letters, digits, "_", "." and "-" that end in ".dll", lower-cased; UTF-16 at either
# byte alignment.
named=$({
  strings -a -n 5 "$program"
  strings -a -n 5 -e l "$program"
  tail -c +2 "$program" | strings -a -n 5 -e l
} | grep -oE '[A-Za-z0-9_.-]+' | tr '[:upper:]' '[:lower:]' | grep -E '^.+\.dll$' | sort -u || true)

refused=0
report() {
  if [[ $allowed == *[[:space:]]${1,,}[[:space:]]* ]]; then
    echo "  $1$2"
  else
    echo "  NOT ALLOWED: $1$2"
    refused=1
  fi
}
while read -r dll; do report "$dll" ""; done <<<"$imports"
# The import table's names are written in the file too: only the others are listed again.
listed=$(tr '[:upper:]' '[:lower:]' <<<"$imports")
while read -r name; do
  [ -z "$name" ] || grep -qxF "$name" <<<"$listed" || report "$name" " (named in the file)"
done <<<"$named"
exit $refused
