#!/usr/bin/env bash
# Signs a program or an MSI in place with SHA-256 (Authenticode), with the certificate and key
# of the PKCS#12 file SIGN_PFX; with SIGN_TIMESTAMP_URL also a timestamp from that server
# (RFC 3161), so that the signature outlives the certificate.
#
# The password is never taken from a command line (which shell history and the process list
# keep): it is read from the first line of the file SIGN_PFX_PASSWORD_FILE; else from
# SIGN_PFX_PASSWORD, set even if empty, for CI systems that hand secrets over as variables; else it
# is asked for on the terminal, without echo. It goes on to osslsigncode through a pipe: past this
# script it is in no environment and on no command line.
#
# usage: installer/sign.sh <file>
#        installer/sign.sh --around <command> [<argument>...]
# The second form runs a command that signs several files (the release) with the password asked
# for once. SIGN_PFX_PASSWORD is taken out of the command's environment, which names instead a
# file holding the password, SIGN_PFX_PASSWORD_FILE, readable by the user alone and removed
# afterwards: this script, run by the command for each file, reads it there. Whatever the command
# runs can read that file too; what is kept from them is the password in an environment, which
# crash reports, process listings and child processes copy. Without SIGN_PFX it only runs the
# command.
set -euo pipefail

password() {
  if [ -n "${SIGN_PFX_PASSWORD_FILE:-}" ]; then
    [ -r "$SIGN_PFX_PASSWORD_FILE" ] ||
      { echo "sign.sh: cannot read SIGN_PFX_PASSWORD_FILE $SIGN_PFX_PASSWORD_FILE" >&2; return 1; }
    local line=""
    IFS= read -r line <"$SIGN_PFX_PASSWORD_FILE" || true
    printf '%s' "$line"
  elif [ -n "${SIGN_PFX_PASSWORD+set}" ]; then
    printf '%s' "$SIGN_PFX_PASSWORD"
  elif { exec 3<>/dev/tty; } 2>/dev/null; then
    local typed=""
    printf 'Password of %s: ' "$SIGN_PFX" >&3
    IFS= read -rs typed <&3
    printf '\n' >&3
    exec 3>&-
    printf '%s' "$typed"
  else
    echo "sign.sh: no terminal to ask for the password of $SIGN_PFX on:" \
      "give SIGN_PFX_PASSWORD_FILE or SIGN_PFX_PASSWORD" >&2
    return 1
  fi
}

if [ "${1:-}" = --around ]; then
  shift
  [ -n "${SIGN_PFX:-}" ] || exec "$@"
  private=$(mktemp -d)
  trap 'rm -rf "$private"' EXIT
  (umask 077 && password >"$private/password")
  SIGN_PFX_PASSWORD_FILE=$private/password env -u SIGN_PFX_PASSWORD "$@"
  exit
fi

file=$1
: "${SIGN_PFX:?SIGN_PFX names the PKCS#12 file to sign with}"
timestamp=()
[ -z "${SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$SIGN_TIMESTAMP_URL")

pass=$(password)
# osslsigncode writes a new file and will not overwrite one.
signed=$file.signed
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
# osslsigncode drops the line end from what it reads, and refuses a file with nothing in it: with
# the line end an empty password gets through.
osslsigncode sign -pkcs12 "$SIGN_PFX" -readpass <(printf '%s\n' "$pass") -h sha256 \
  "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
