#!/usr/bin/env bash
# Where a signing password given as a variable goes: `make dist` and `make release` with a
# stand-in for the shell of their recipes, which keeps each line and its environment and runs
# nothing, so that no build takes place. The password, empty included, must be in the environment
# of the release's signing step alone, and that step must come after the pictures are written,
# make's -j notwithstanding; on make's command line it is refused. Under installer/sign.sh
# --around, the command's environment must hold only the name of a file with the password.
#   check_password_steps.sh <the source folder>
set -euo pipefail
source=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
marker='m4rker$ecret'

cat >"$work/shell" <<'EOF'
#!/usr/bin/env bash
# make runs it as `shell -c <line>`. Named by the time it starts, so that the names sort in order.
step=$(dirname "$0")/steps/$(date +%s%N)
printf '%s' "$2" >"$step.line"
env >"$step.env"
EOF
chmod +x "$work/shell"

failed=0
fail() { echo "$*" >&2; failed=1; }

# The password given (or not, "unset") | make's arguments | what make must do.
while IFS='|' read -r given arguments outcome; do
  rm -rf "$work/steps" && mkdir "$work/steps"
  environment=(env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS -u SIGN_PFX_PASSWORD)
  [ "$given" = unset ] || environment+=("SIGN_PFX_PASSWORD=$given")
  read -ra arguments <<<"$arguments"
  if ! output=$("${environment[@]}" make -s -C "$work" -f "$source/Makefile" SHELL="$work/shell" \
    "${arguments[@]}" 2>&1); then
    if [ "$outcome" != refused ]; then
      fail "make ${arguments[*]} with the password [$given] failed: $output"
    elif [ -n "$(ls "$work/steps")" ]; then
      fail "make ${arguments[*]} with the password on its command line ran steps before refusing"
    fi
    continue
  fi
  if [ "$outcome" = refused ]; then
    fail "make ${arguments[*]} took the password on its command line"
    continue
  fi

  signing="" pictures=""
  for line in "$work"/steps/*.line; do
    step=${line%.line}
    if [[ $(<"$line") == "installer/sign.sh --around "* ]]; then
      signing=$step
      if [ "$given" = unset ]; then
        ! grep -q '^SIGN_PFX_PASSWORD=' "$step.env" ||
          fail "the signing step has a password none gave"
      elif ! grep -qxF "SIGN_PFX_PASSWORD=$given" "$step.env"; then
        fail "the signing step lacks the password [$given] make was given"
      fi
    else
      [[ $(<"$line") != *picture-generator* ]] || pictures=$step
      if grep -q '^SIGN_PFX_PASSWORD=' "$step.env" || grep -qF "$marker" "$step.env"; then
        fail "the password [$given] reached a step that does not sign: $(<"$line")"
      fi
    fi
  done
  if [ -z "$signing" ]; then
    fail "make ${arguments[*]} ran no signing step"
  elif [ -n "$pictures" ] && [[ ${signing##*/} < ${pictures##*/} ]]; then
    fail "make ${arguments[*]} signed the release before the pictures were written"
  fi
done <<EOF
$marker|dist|signed
$marker|release|signed
|dist|signed
unset|dist|signed
$marker|-j4 dist|signed
unset|SIGN_PFX_PASSWORD=$marker dist|refused
EOF

# The command under sign.sh --around sees the password's file, not the password. Its output is
# kept first and searched after: a search that stops at the first match would end the command
# with a broken pipe, and the failed pipeline would read as no match.
around=$(SIGN_PFX=unused SIGN_PFX_PASSWORD=$marker "$source/installer/sign.sh" --around \
  bash -c 'env && cat "$SIGN_PFX_PASSWORD_FILE"')
if [[ $around == *"SIGN_PFX_PASSWORD="* ]] || [ "$(tail -n 1 <<<"$around")" != "$marker" ] ||
  [ "$(grep -cF "$marker" <<<"$around")" -ne 1 ]; then
  fail "under installer/sign.sh --around the password is in the environment or not in its file"
fi
exit $failed
