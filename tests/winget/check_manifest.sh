#!/usr/bin/env bash
# The winget manifest `make dist` writes with RELEASE_URL, made here for the release in dist/
# with a test address: its three files (version, installers, default locale), each valid against
# the official 1.10.0 schema of its type, and each installer's SHA-256 that of its file in dist/.
#   check_manifest.sh <the source folder> <the folder of the official schemas>
set -euo pipefail
source=$(realpath "$1")
schemas=$(realpath "$2")
here=$source/tests/winget
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

url=https://downloads.example.com/slideshow/1.0.0
RELEASE_URL=$url/ "$source/installer/winget.sh" "$source/dist" "$work"

failed=0
types=()
# The official schemas are JSON Schema draft-07, which ajv validates by default.
for manifest in "$work"/*.yaml; do
  type=$(sed -n 's/^ManifestType: //p' "$manifest")
  types+=("$type")
  "$here/node_modules/.bin/ajv" validate -c "$here/formats.js" --errors=text \
    -s "$schemas/manifest.$type.1.10.0.json" -d "$manifest" || failed=1
done
if [ "$(printf '%s\n' "${types[@]}" | sort | xargs)" != "defaultLocale installer version" ]; then
  echo "manifest types: ${types[*]}, not one each of version, installer and defaultLocale" >&2
  failed=1
fi

# Each InstallerUrl is followed by its InstallerSha256.
installers=0
while read -r address hash; do
  installers=$((installers + 1))
  file=$source/dist/${address#"$url"/}
  if [ ! -f "$file" ] || [ "$(sha256sum "$file" | cut -d' ' -f1)" != "${hash,,}" ]; then
    echo "$address: $hash is not the SHA-256 of a file of that name in dist/" >&2
    failed=1
  fi
done < <(sed -n 's/^ *InstallerUrl: "\(.*\)"$/\1/p; s/^ *InstallerSha256: //p' \
  "$work"/*.installer.yaml | paste - -)
if [ "$installers" -ne 2 ]; then
  echo "$installers installers, not the per-user installer and the MSI" >&2
  failed=1
fi
exit $failed
