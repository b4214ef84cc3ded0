#!/usr/bin/env bash
# Builds the release beside what ships in the given folder (the saver and its 50 pictures): the
# per-user installer, the MSI for every user of a machine, and a zip of exactly those files, all
# named after the product's version. With SIGN_PFX set, the saver in the folder (first, so that
# the installers and the zip hold the signed one), the installer, the uninstaller it writes, its
# Start-menu program and the MSI are signed (installer/sign.sh; run under
# `installer/sign.sh --around`, this asks for the password once). Compressing takes a while, so
# the three are kept in the cache folder and made again only when what goes into them, or how
# they are signed, changed.
# usage: installer/build.sh <folder> <the program's .ico> <cache folder>
set -euo pipefail

folder=$(realpath "$1")
icon=$(realpath "$2")
cache=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
identity=$here/../res/identity.h
field() { sed -n "s/^#define $1 \"\(.*\)\"$/\1/p" "$identity"; }
number() { sed -n "s/^#define $1 \([0-9]*\)$/\1/p" "$identity"; }
version=$(field APP_VERSION_TEXT)
[ -n "$version" ] || { echo "no APP_VERSION_TEXT in $identity" >&2; exit 1; }
# The saver's FILEVERSION, as the resource script (res/slideshow.rc) builds it.
file_version=$(number APP_VERSION_MAJOR).$(number APP_VERSION_MINOR).$(number APP_VERSION_REVISION).0
[[ $file_version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.0$ ]] ||
  { echo "no numeric APP_VERSION_MAJOR/MINOR/REVISION in $identity" >&2; exit 1; }
# The MSI's UpgradeCode, for what is written of it below: WiX takes it in either case, with or
# without braces; Windows Installer takes GUIDs braced and in upper case, and an Upgrade row it
# cannot match would stop same-version upgrades without a word.
upgrade_code=$(sed -n 's/.*UpgradeCode="{\{0,1\}\([^"}]*\)}\{0,1\}".*/\1/p' "$here/slideshow.wxs" |
  tr a-f A-F)
[[ $upgrade_code =~ ^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$ ]] ||
  { echo "no single well-formed UpgradeCode in $here/slideshow.wxs: '$upgrade_code'" >&2; exit 1; }

shipped=("$folder"/slideshow.scr "$folder"/QMAR52??.DAT)
[ ${#shipped[@]} -eq 51 ] || { echo "expected the saver and 50 pictures in $folder" >&2; exit 1; }

setup=slideshow-$version-setup.exe
package=slideshow-$version.msi
archive=slideshow-$version.zip
sign() { if [ -n "${SIGN_PFX:-}" ]; then "$here/sign.sh" "$1"; fi; }
sign "$folder/slideshow.scr"

# The certificate, not its password, and the timestamp server tell one signing from another.
signing="unsigned"
if [ -n "${SIGN_PFX:-}" ]; then
  signing="signed with $(sha256sum <"$SIGN_PFX") ${SIGN_TIMESTAMP_URL:-no timestamp}"
fi
inputs=$(cd "$folder" && sha256sum slideshow.scr QMAR52??.DAT "$icon" "$identity" \
  "$here"/*.nsi "$here"/*.nsh "$here"/*.wxs "$here"/*.sh && echo "$signing")

mkdir -p "$cache"
if [ ! -f "$cache/$setup" ] || [ ! -f "$cache/$package" ] || [ ! -f "$cache/$archive" ] ||
  [ "$inputs" != "$(cat "$cache/inputs.sha256" 2>/dev/null)" ]; then
  rm -f "$cache/inputs.sha256" "$cache/$setup" "$cache/$package" "$cache/$archive"

  makensis -V2 -INPUTCHARSET UTF8 -DIDENTITY="$identity" -DICON="$icon" \
    -DOUTFILE="$cache/make-current.exe" "$here/make-current.nsi"
  sign "$cache/make-current.exe"
  signer=()
  [ -z "${SIGN_PFX:-}" ] || signer=(-DSIGN="$here/sign.sh")
  makensis -V2 -INPUTCHARSET UTF8 -DSOURCE="$folder" -DIDENTITY="$identity" -DICON="$icon" \
    -DHELPER="$cache/make-current.exe" "${signer[@]}" -DOUTFILE="$cache/$setup" \
    "$here/slideshow.nsi"
  sign "$cache/$setup"

  # The texts wixl is to read from a file, and the pictures written out: it takes no wildcards.
  {
    echo '<?xml version="1.0" encoding="utf-8"?><Include>'
    echo "<?define Title=\"$(field APP_TITLE)\"?>"
    echo "<?define Company=\"$(field APP_COMPANY_NAME)\"?>"
    echo "<?define Version=\"$version\"?>"
    echo '</Include>'
  } >"$cache/identity.wxi"
  {
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
    echo '<DirectoryRef Id="System64Folder"><Component Id="Pictures" Guid="*" Win64="yes">'
    for picture in "$folder"/QMAR52??.DAT; do
      name=$(basename "$picture")
      keypath=""
      [ "$name" != QMAR5201.DAT ] || keypath=' KeyPath="yes"'
      echo "<File Id=\"$name\" Source=\"$name\"$keypath/>"
    done
    echo '</Component></DirectoryRef></Fragment></Wix>'
  } >"$cache/pictures.wxs"
  # wixl writes the database's strings in the code page of WINDOWS_LANGUAGE but marks none;
  # msibuild then marks it (932, the Japanese), so that the names read the same on any system.
  # wixl also gives the package the language 1033 whatever the product's; msibuild puts 1041.
  (cd "$folder" && WINDOWS_LANGUAGE=ja wixl -a x64 -I "$cache" -o "$cache/$package" \
    -D Icon="$(realpath --relative-to=. "$icon")" "$here/slideshow.wxs" "$cache/pictures.wxs")
  printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$cache/_ForceCodepage.idt"
  WINDOWS_LANGUAGE=ja msibuild "$cache/$package" -i "$cache/_ForceCodepage.idt"
  # What wixl cannot write. The saver's version and language (its version information's
  # Translation), so that Windows Installer applies the rules for versioned files to it; without
  # them the file counts as unversioned. And the upgrade's maximum inclusive, as WiX writes it for
  # AllowSameVersionUpgrades (Attributes 513: migrate features, maximum included), so that a
  # rebuild of the same version, whose ProductCode is new, replaces the installed one instead of
  # installing beside it. The Upgrade table's key includes Attributes: the row is written anew.
  # wixl keeps the UpgradeCode property as the source spells it: it is written in upper case.
  msibuild "$cache/$package" \
    -q "UPDATE \`File\` SET \`Version\` = '$file_version', \`Language\` = '1041' WHERE \`File\` = 'Saver'" \
    -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`)
        VALUES ('{$upgrade_code}', '$version', 513, 'WIX_UPGRADE_DETECTED')" \
    -q "UPDATE \`Property\` SET \`Value\` = '{$upgrade_code}' WHERE \`Property\` = 'UpgradeCode'"
  LC_ALL=C.UTF-8 msibuild "$cache/$package" -s "$(field APP_TITLE)" "$(field APP_COMPANY_NAME)" \
    "x64;1041" "{$(tr a-z A-Z </proc/sys/kernel/random/uuid)}"
  sign "$cache/$package"

  zip -q -j -X "$cache/$archive" "${shipped[@]}"
  echo "$inputs" >"$cache/inputs.sha256"
fi
cp "$cache/$setup" "$cache/$package" "$cache/$archive" "$folder/"
