#!/usr/bin/env bash
# Signs a release with a throw-away certificate, as `make dist` does with SIGN_PFX set (its
# password in a file), and checks each signature against the throw-away CA: the saver, the
# per-user installer, the MSI, the Start-menu program and the uninstaller the installer writes
# (installed silently under Wine for it); and a saver signed with a key under an empty password.
# Fifty empty pictures stand in for the real ones, which play no part in signing.
#   check_signing.sh <the source folder> <the saver> <the program's .ico>
set -euo pipefail
source=$(realpath "$1")
saver=$(realpath "$2")
icon=$(realpath "$3")

work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Nothing here needs a display: making the prefix shows no dialog on the user's screen without one.
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
  -subj "/CN=Throw-away CA" -addext basicConstraints=critical,CA:TRUE \
  -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
  -subj "/CN=Throw-away signer" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.cnf
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
  -extfile signer.cnf -out signer.pem 2>/dev/null
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.pfx \
  -passout pass:throw-away
export SIGN_PFX=$work/signer.pfx
# As an editor writes it, with a line end.
echo throw-away >password

# A key kept under an empty password, given as an empty variable, signs as well.
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out empty.pfx \
  -passout pass:
cp "$saver" empty-password.scr
SIGN_PFX=$work/empty.pfx SIGN_PFX_PASSWORD="" "$source/installer/sign.sh" empty-password.scr

mkdir release
cp "$saver" release/slideshow.scr
for number in $(seq -w 1 50); do : >"release/QMAR52$number.DAT"; done
SIGN_PFX_PASSWORD_FILE=$work/password "$source/installer/sign.sh" --around \
  "$source/installer/build.sh" release "$icon" cache

wineboot --init >/dev/null 2>&1
wine release/*-setup.exe /S
installed=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/slideshow)

failed=0
for file in empty-password.scr release/slideshow.scr release/*-setup.exe release/*.msi \
  "$installed/make-current.exe" "$installed/uninstall.exe"; do
  if report=$(osslsigncode verify -CAfile ca.pem -in "$file" 2>&1) &&
    grep -q 'Message digest algorithm *: SHA256' <<<"$report"; then
    echo "signed: ${file#"$work"/}"
  else
    echo "NOT SIGNED with SHA-256 by the given certificate: ${file#"$work"/}" >&2
    echo "$report" >&2
    failed=1
  fi
done
exit $failed
