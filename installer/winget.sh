#!/usr/bin/env bash
# Writes the release's manifest for the Windows Package Manager (winget), schema 1.10.0, in its
# multi-file form: the version file, the installers (the per-user installer, silent with /S, and
# the MSI for the whole machine, with the ProductCode it registers under) with their SHA-256, and
# the default locale, Japanese, with the product's name, maker and description from
# res/identity.h. The installers are downloaded from RELEASE_URL, the shipper's folder for the
# release's files, each under its own name.
# usage: RELEASE_URL=<url> installer/winget.sh <folder with the release> <folder to write>
set -euo pipefail

: "${RELEASE_URL:?RELEASE_URL is the address of the folder the release is downloaded from}"
folder=$(realpath "$1")
out=$2
here=$(cd "$(dirname "$0")" && pwd)
identity=$here/../res/identity.h
field() { sed -n "s/^#define $1 \"\(.*\)\"$/\1/p" "$identity"; }
id=$(field APP_PACKAGE_ID)
version=$(field APP_VERSION_TEXT)
setup=$folder/slideshow-$version-setup.exe
package=$folder/slideshow-$version.msi
for file in "$setup" "$package"; do
  [ -f "$file" ] || { echo "no $(basename "$file") in $folder" >&2; exit 1; }
done
product_code=$(LC_ALL=C.UTF-8 msiinfo export "$package" Property |
  sed -n 's/^ProductCode\t\({[-0-9A-F]*}\)\r\?$/\1/p')
[ -n "$product_code" ] || { echo "no ProductCode in $package" >&2; exit 1; }
sha256() { sha256sum "$1" | cut -d' ' -f1 | tr a-f A-F; }
url() { printf '%s/%s' "${RELEASE_URL%/}" "$(basename "$1")"; }
# YAML's double-quoted form: the texts come from identity.h, where nothing is to be escaped but
# these two.
quoted() { local text=${1//\\/\\\\}; printf '"%s"' "${text//\"/\\\"}"; }
header() { printf '# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.1.10.0.schema.json\n' "$1"; }

mkdir -p "$out"
{
  header version
  echo "PackageIdentifier: $id"
  echo "PackageVersion: $(quoted "$version")"
  echo "DefaultLocale: ja-JP"
  echo "ManifestType: version"
  echo "ManifestVersion: 1.10.0"
} >"$out/$id.yaml"
{
  header installer
  echo "PackageIdentifier: $id"
  echo "PackageVersion: $(quoted "$version")"
  echo "InstallerLocale: ja-JP"
  echo "Installers:"
  # The name of its key under ...\Uninstall in the user's registry, for winget to find it there.
  echo "- Architecture: x64"
  echo "  InstallerType: nullsoft"
  echo "  Scope: user"
  echo "  InstallerUrl: $(quoted "$(url "$setup")")"
  echo "  InstallerSha256: $(sha256 "$setup")"
  echo "  InstallerSwitches:"
  echo "    Silent: /S"
  echo "    SilentWithProgress: /S"
  echo "  ProductCode: slideshow"
  echo "- Architecture: x64"
  echo "  InstallerType: wix"
  echo "  Scope: machine"
  echo "  InstallerUrl: $(quoted "$(url "$package")")"
  echo "  InstallerSha256: $(sha256 "$package")"
  echo "  ProductCode: \"$product_code\""
  echo "ManifestType: installer"
  echo "ManifestVersion: 1.10.0"
} >"$out/$id.installer.yaml"
{
  header defaultLocale
  echo "PackageIdentifier: $id"
  echo "PackageVersion: $(quoted "$version")"
  echo "PackageLocale: ja-JP"
  echo "Publisher: $(quoted "$(field APP_COMPANY_NAME)")"
  echo "PackageName: $(quoted "$(field APP_TITLE)")"
  # No licence is published with it: all rights reserved, as the copyright says.
  echo "License: Proprietary"
  echo "Copyright: $(quoted "$(field APP_LEGAL_COPYRIGHT)")"
  echo "ShortDescription: $(quoted "$(field APP_DESCRIPTION)")"
  echo "ManifestType: defaultLocale"
  echo "ManifestVersion: 1.10.0"
} >"$out/$id.locale.ja-JP.yaml"
