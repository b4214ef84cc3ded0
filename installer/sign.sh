#!/usr/bin/env bash
# Signs a program or an MSI in place with SHA-256 (Authenticode), with the certificate and key
# of the PKCS#12 file SIGN_PFX, whose password is SIGN_PFX_PASSWORD; with SIGN_TIMESTAMP_URL
# also a timestamp from that server (RFC 3161), so that the signature outlives the certificate.
# The password goes to osslsigncode through a pipe, never on a command line.
# usage: installer/sign.sh <file>
set -euo pipefail

file=$1
: "${SIGN_PFX:?SIGN_PFX names the PKCS#12 file to sign with}"
: "${SIGN_PFX_PASSWORD?SIGN_PFX_PASSWORD is the password of the PKCS#12 file}"
timestamp=()
[ -z "${SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$SIGN_TIMESTAMP_URL")

# osslsigncode writes a new file and will not overwrite one.
signed=$file.signed
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
osslsigncode sign -pkcs12 "$SIGN_PFX" -readpass <(printf '%s' "$SIGN_PFX_PASSWORD") -h sha256 \
  "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
