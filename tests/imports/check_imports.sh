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
# DLLs the saver loads itself, by name and only from the system folder (LOAD_LIBRARY_SEARCH_SYSTEM32),
# when it first needs them: named in the file, never in the import table, where Windows would look
# for them beside the program too.
loaded_from_system=" mscms.dll "

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
while read -r dll; do
  if [[ $loaded_from_system == *[[:space:]]${dll,,}[[:space:]]* ]]; then
    echo "  NOT ALLOWED: $dll (imported, but only to be loaded from the system folder)"
    refused=1
  else
    report "$dll" ""
  fi
done <<<"$imports"
# The import table's names are written in the file too: only the others are listed again.
listed=$(tr '[:upper:]' '[:lower:]' <<<"$imports")
while read -r name; do
  [ -z "$name" ] || grep -qxF "$name" <<<"$listed" || [[ $loaded_from_system == *" $name "* ]] ||
    report "$name" " (named in the file)"
done <<<"$named"
exit $refused
