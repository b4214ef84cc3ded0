#!/usr/bin/env bash
# The winget manifest `make dist` writes with RELEASE_URL, made here for the release in dist/
# with a test address, and for its files as version 1.10: its three files (version, installers,
# default locale), each valid against the official 1.10.0 schema of its type, and each
# installer's SHA-256 that of its file.
#   check_manifest.sh <the source folder> <the folder of the official schemas>
set -euo pipefail
source=$(realpath "$1")
schemas=$(realpath "$2")
here=$source/tests/winget
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The release in dist/, and the same files as version 1.10, which YAML reads as the number 1.1
# where it is not quoted: winget.sh and identity.h copied with that version, beside the files
# under its names.
url=https://downloads.example.com/slideshow
version=$(sed -n 's/^#define APP_VERSION_TEXT "\(.*\)"$/\1/p' "$source/res/identity.h")
mkdir -p "$work/copy/installer" "$work/copy/res" "$work/1.10"
cp "$source/installer/winget.sh" "$work/copy/installer/"
sed 's/^#define APP_VERSION_TEXT ".*"$/#define APP_VERSION_TEXT "1.10"/' "$source/res/identity.h" \
  >"$work/copy/res/identity.h"
ln -s "$source/dist/slideshow-$version-setup.exe" "$work/1.10/slideshow-1.10-setup.exe"
ln -s "$source/dist/slideshow-$version.msi" "$work/1.10/slideshow-1.10.msi"

failed=0
check() { # <winget.sh> <the release's folder> <its version>
  local manifests=$work/manifest-$3 installers=0 address hash file
  RELEASE_URL=$url/$3/ "$1" "$2" "$manifests"
  if [ "$(sed -n 's/^ManifestType: //p' "$manifests"/*.yaml | sort | xargs)" != \
    "defaultLocale installer version" ]; then
    echo "$manifests: not one manifest each of version, installer and defaultLocale" >&2
    failed=1
  fi

  # Each InstallerUrl is followed by its InstallerSha256.
  while read -r address hash; do
    installers=$((installers + 1))
    file=$2/${address#"$url/$3"/}
    if [ ! -f "$file" ] || [ "$(sha256sum "$file" | cut -d' ' -f1)" != "${hash,,}" ]; then
      echo "$address: $hash is not the SHA-256 of a file of that name in $2" >&2
      failed=1
    fi
  done < <(sed -n 's/^ *InstallerUrl: "\(.*\)"$/\1/p; s/^ *InstallerSha256: //p' \
    "$manifests"/*.installer.yaml | paste - -)
  if [ "$installers" -ne 2 ]; then
    echo "$installers installers, not the per-user installer and the MSI" >&2
    failed=1
  fi
}
check "$source/installer/winget.sh" "$source/dist" "$version"
check "$work/copy/installer/winget.sh" "$work/1.10" 1.10

# The official schemas are JSON Schema draft-07, which ajv validates by default; one run a type.
for type in version installer defaultLocale; do
  manifests=()
  while read -r manifest; do
    manifests+=(-d "$manifest")
  done < <(grep -lx "ManifestType: $type" "$work"/manifest-*/*.yaml)
  "$here/node_modules/.bin/ajv" validate -c "$here/formats.js" --errors=text \
    -s "$schemas/manifest.$type.1.10.0.json" "${manifests[@]}" || failed=1
done
exit $failed
