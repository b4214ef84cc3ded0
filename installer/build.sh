#!/usr/bin/env bash
# Builds the release beside what ships in the given folder (the saver and its 50 pictures):
# the installer and a zip of exactly those files, both named after the product's version.
# Compressing takes a while, so both are kept in the cache folder and made again only when
# what goes into them changed.
# usage: installer/build.sh <folder> <the program's .ico> <cache folder>
set -euo pipefail

folder=$(realpath "$1")
icon=$(realpath "$2")
cache=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
identity=$here/../res/identity.h
version=$(sed -n 's/^#define APP_VERSION_TEXT "\(.*\)"$/\1/p' "$identity")
[ -n "$version" ] || { echo "no APP_VERSION_TEXT in $identity" >&2; exit 1; }

shipped=("$folder"/slideshow.scr "$folder"/QMAR52??.DAT)
[ ${#shipped[@]} -eq 51 ] || { echo "expected the saver and 50 pictures in $folder" >&2; exit 1; }

setup=slideshow-$version-setup.exe
archive=slideshow-$version.zip
inputs=$(cd "$folder" && sha256sum slideshow.scr QMAR52??.DAT "$icon" "$identity" "$here"/*.nsi "$here/build.sh")
mkdir -p "$cache"
if [ ! -f "$cache/$setup" ] || [ ! -f "$cache/$archive" ] ||
  [ "$inputs" != "$(cat "$cache/inputs.sha256" 2>/dev/null)" ]; then
  rm -f "$cache/inputs.sha256" "$cache/$setup" "$cache/$archive"
  makensis -V2 -INPUTCHARSET UTF8 -DSOURCE="$folder" -DIDENTITY="$identity" -DICON="$icon" \
    -DOUTFILE="$cache/$setup" "$here/slideshow.nsi"
  zip -q -j -X "$cache/$archive" "${shipped[@]}"
  echo "$inputs" >"$cache/inputs.sha256"
fi
cp "$cache/$setup" "$cache/$archive" "$folder/"
