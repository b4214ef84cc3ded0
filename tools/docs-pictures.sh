#!/usr/bin/env bash
# Refreshes the README's pictures in docs/ from the screenshots the end-to-end suite left in
# out/e2e/ (run `make test` first): the show scaled to half size, the settings dialog and the
# About box cut out of the desktop around them.
set -euo pipefail
cd "$(dirname "$0")/.."

shots=out/e2e
show=$shots/InstallerTest.SilentInstallMakesItCurrentAndSilentUninstallPutsThePreviousBack-installed.png
settings=$shots/CommandLines_SettingsDialogTest.OpensAtItsSizeWithItsControls_SettingsSwitch.png
about=$shots/AboutBoxTest.HelpMenuOpensItAndEscBringsTheDialogBack-about.png
for shot in "$show" "$settings" "$about"; do
  [ -f "$shot" ] || { echo "$shot is missing: run make test first" >&2; exit 1; }
done

mkdir -p docs
png=(-strip -define png:compression-level=9 -define png:exclude-chunks=date,time)
convert "$show" -resize 50% "${png[@]}" docs/show.png
# Without the task bar, the desktop around a window is one colour, which -trim takes away; a
# margin of it stays so the window's edge shows.
cut_out() {
  convert "$1" -gravity south -chop 0x32 +repage -fuzz 2% -trim +repage \
    -bordercolor "$(convert "$1" -format '%[pixel:p{0,0}]' info:)" -border 12 "${png[@]}" "$2"
}
cut_out "$settings" docs/settings.png
cut_out "$about" docs/about.png
ls -s --block-size=K docs/show.png docs/settings.png docs/about.png
