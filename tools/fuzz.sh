#!/usr/bin/env bash
# A short, bounded run of the fuzz targets, as `make test` does it:
#   tools/fuzz.sh <folder of the fuzzers> [seconds per target, default 10]
# The header reader's corpus: the start of every shipped picture (one of each format the saver
# ships) and small crafted files of the formats and tricks the shipped set lacks.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
fuzzers=$1
seconds=${2:-10}
corpus="$fuzzers/corpus"
rm -rf "$corpus" && mkdir -p "$corpus/header" "$corpus/resample"

for picture in "$root"/dist/QMAR52*.DAT; do head -c 65536 "$picture" >"$corpus/header/$(basename "$picture")"; done
# An icon holding a PNG, a GIF with a small first frame and an extension, a TIFF, a grey JPEG.
printf '\0\0\1\0\1\0\0\0\0\0\1\0\40\0\60\0\0\0\26\0\0\0\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x30\0\0\0\x30\x08\x06\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' \
  >"$corpus/header/icon"
printf 'GIF89a\x10\0\x10\0\x80\0\0\0\0\0\xff\xff\xff\x21\xf9\x04\x01\0\0\0\0\x2c\x02\0\x02\0\x04\0\x04\0\0\x02\x02\x44\x01\0\x3b' \
  >"$corpus/header/gif"
printf 'II*\0\x08\0\0\0\x03\0\0\x01\x03\0\x01\0\0\0\x10\0\0\0\x01\x01\x03\0\x01\0\0\0\x08\0\0\0\x15\x01\x03\0\x01\0\0\0\x03\0\0\0' \
  >"$corpus/header/tiff"
printf '\xff\xd8\xff\xe0\0\x04\0\0\xff\xc2\0\x0b\x08\0\x10\0\x10\x01\x01\x11\0\xff\xda' >"$corpus/header/jpeg"
head -c 4096 /dev/urandom >"$corpus/resample/noise"

# Sanitizer findings and crashes end the run with a failure; the time bound ends it with success.
for target in header resample; do
  log="$fuzzers/$target.log"
  if ! "$fuzzers/${target}_fuzzer" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$fuzzers/$target-" "$corpus/$target" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz.sh: $target failed; the input is $fuzzers/$target-*" >&2
    exit 1
  fi
  echo "$target: $(grep -o 'number_of_executed_units: [0-9]*' "$log" | cut -d' ' -f2) runs, no finding"
done
