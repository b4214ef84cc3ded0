#!/usr/bin/env bash
# Installs what building and testing the saver needs on Debian 12, once: the compilers, Wine,
# a virtual X display (and a nested one with two heads) with input and screenshot tools, a
# Japanese font and locale, Python for the benchmark's crafted pictures, clang's libFuzzer for
# the fuzz targets, a clock that runs fast for the soak, and the JSON-schema validator (from npm)
# for the winget manifest's test.
set -euo pipefail

packages=(
  cmake ninja-build g++ make libgtest-dev libgmock-dev clang-format clang-tidy git
  g++-mingw-w64-x86-64 wine wine64
  # zlib, for the host build and the saver's own static copy.
  zlib1g-dev libz-mingw-w64-dev
  xvfb xserver-xephyr xdotool x11-utils imagemagick
  # Free colour profiles: the Wine tests' and the fuzz corpus' Adobe RGB pictures, and the sRGB
  # values lcms2 converts them to; colord's display profiles for the monitors they are shown on.
  icc-profiles-free colord-data
  fonts-ipafont-gothic fonts-wine locales
  libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev
  # The release: the per-user installer, the MSI and the zip, signed when a certificate is
  # given (openssl makes the signing test's throw-away certificates).
  nsis wixl msitools zip osslsigncode openssl
  # The benchmark's crafted pictures, and libFuzzer for the fuzz targets.
  python3 clang libclang-rt-14-dev
  # The soak: hours of the show in minutes, on a clock that runs fast.
  libfaketime
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Node.js may come from elsewhere than Debian; Debian's only when there is none.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese file names under Wine need the glibc locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

# The winget manifest's validator, at the versions the lock file names, beside its test.
validator=$(cd "$(dirname "$0")/../tests/winget" && pwd)
if [ ! -f "$validator/node_modules/.package-lock.json" ] ||
  [ "$validator/package-lock.json" -nt "$validator/node_modules/.package-lock.json" ]; then
  npm ci --prefix "$validator" --no-audit --no-fund --loglevel=error >/dev/null
fi
