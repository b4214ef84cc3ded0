#!/usr/bin/env bash
# clang-tidy over the portable code (src/ without the Win32 binding), two files at a time, with
# the checks of .clang-tidy; fails on any finding. A file that passed is not checked again until
# its source, a header it includes (as the last host build recorded them) or the configuration
# changes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/host
passed=$build/tidy-passed
mkdir -p "$passed"

# "source header" pairs of the repository's files, from the build's dependency log.
includes=$(ninja -C "$build" -t deps 2>/dev/null | awk -v root="$PWD/" '
  /^[^ ]/ { source = ""; next }
  index($1, root) == 1 { if (source == "") source = $1; print source, $1 }')

key_of() {
  local files
  files=$(awk -v source="$PWD/$1" '$1 == source { print $2 }' <<<"$includes")
  [ -n "$files" ] || return 1  # not built yet: no record of its headers
  { clang-tidy --version; cat .clang-tidy $files; } | sha1sum | cut -d' ' -f1
}

pending=()
for source in $(git ls-files 'src/*.cpp' | grep -v '^src/platform/win32/'); do
  key=$(key_of "$source") || key=""
  [ -n "$key" ] && [ -e "$passed/$key" ] && continue
  pending+=("$source $key")
done
[ ${#pending[@]} -eq 0 ] && exit 0

# xargs fails (123) when any file has a finding; each file's findings are printed whole.
printf '%s\n' "${pending[@]}" | xargs -P 2 -L 1 bash -c '
  if findings=$(clang-tidy -p "$0" --quiet "$1" 2>&1); then
    [ -z "${2:-}" ] || touch "$0/tidy-passed/$2"
  else
    grep -v "warnings generated\.$" <<<"$findings"
    exit 1
  fi' "$build"
