#!/usr/bin/env bash
# The UpgradeCode of the MSI installer/build.sh writes, from the WiX source's in each form WiX
# takes: in its Upgrade rows and its UpgradeCode property, braced and in upper case, as Windows
# Installer matches it; a source without one well-formed UpgradeCode fails the build. Unsigned,
# with fifty empty pictures beside the saver.
#   check_upgrade_code.sh <the source folder> <the saver> <the program's .ico>
set -euo pipefail
source=$(realpath "$1")
saver=$(realpath "$2")
icon=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# build.sh reads the WiX source beside it and the product's identity in ../res/.
mkdir -p "$work/tree/res"
cp -r "$source/installer" "$work/tree/"
cp "$source/res/identity.h" "$work/tree/res/"
mkdir "$work/shipped"
cp "$saver" "$work/shipped/"
for number in $(seq -w 1 50); do : >"$work/shipped/QMAR52$number.DAT"; done

failed=0
# The UpgradeCode in the WiX source | the MSI's, or "refused".
while IFS='|' read -r given expected; do
  sed -i "s/UpgradeCode=\"[^\"]*\"/UpgradeCode=\"$given\"/" "$work/tree/installer/slideshow.wxs"
  release=$work/release-${given//[^0-9A-Za-z]/}
  cp -r "$work/shipped" "$release"
  if ! output=$("$work/tree/installer/build.sh" "$release" "$icon" "$release/cache" 2>&1); then
    if [ "$expected" != refused ] || [[ $output != *UpgradeCode* ]]; then
      echo "UpgradeCode [$given]: the build failed: $output" >&2
      failed=1
    fi
    continue
  fi
  msi=$(echo "$release"/*.msi)
  # The rows for upgrades (Attributes 513) and for downgrades (2), and the property.
  found=$({
    msiinfo export "$msi" Upgrade | tr -d '\r' | awk -F'\t' 'NR > 3 { print $5, $1 }'
    msiinfo export "$msi" Property | tr -d '\r' |
      awk -F'\t' '$1 == "UpgradeCode" { print "property", $2 }'
  } | sort | xargs)
  if [ "$found" != "2 $expected 513 $expected property $expected" ]; then
    echo "UpgradeCode [$given]: [$found] in the MSI, not $expected" >&2
    failed=1
  fi
done <<'EOF'
0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D|{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}
{0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d}|{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}
0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4|refused
|refused
EOF
exit $failed
