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
# An icon holding a PNG, a GIF with a small first frame and an extension, one whose frame brings
# its own colour table, TIFFs in strips (with a description) and in a tile, a PNG with compressed
# text, a progressive JPEG of two scans.
printf '\0\0\1\0\1\0\0\0\0\0\1\0\40\0\60\0\0\0\26\0\0\0\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x30\0\0\0\x30\x08\x06\0\0\0\x57\x02\xf9\x87\0\0\0\0\0\0\0\0' \
  >"$corpus/header/icon"
printf 'GIF89a\x10\0\x10\0\x80\0\0\0\0\0\xff\xff\xff\x21\xf9\x04\x01\0\0\0\0\x2c\x02\0\x02\0\x04\0\x04\0\0\x02\x02\x44\x01\0\x3b' \
  >"$corpus/header/gif"
printf 'GIF89a\x10\0\x10\0\0\0\0\x2c\0\0\0\0\x04\0\x04\0\x80\0\0\0\xff\xff\xff\x02\x02\x44\x01\0\x3b' \
  >"$corpus/header/gif-local-colours"
printf 'II\x2a\x00\x08\x00\x00\x00\x07\x00\x00\x01\x03\x00\x01\x00\x00\x00\x10\x00\x00\x00\x01\x01\x03\x00\x01\x00\x00\x00\x10\x00\x00\x00\x02\x01\x03\x00\x01\x00\x00\x00\x08\x00\x00\x00\x0e\x01\x02\x00\x06\x00\x00\x00j\x00\x00\x00\x11\x01\x04\x00\x02\x00\x00\x00b\x00\x00\x00\x16\x01\x03\x00\x01\x00\x00\x00\x08\x00\x00\x00\x17\x01\x03\x00\x02\x00\x00\x00\x08\x00\x08\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00hello\x00' \
  >"$corpus/header/tiff"
printf 'II\x2a\x00\x08\x00\x00\x00\x06\x00\x00\x01\x03\x00\x01\x00\x00\x00\x10\x00\x00\x00\x01\x01\x03\x00\x01\x00\x00\x00\x10\x00\x00\x00\x02\x01\x03\x00\x01\x00\x00\x00\x08\x00\x00\x00B\x01\x03\x00\x01\x00\x00\x00\x10\x00\x00\x00C\x01\x03\x00\x01\x00\x00\x00\x10\x00\x00\x00D\x01\x04\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  >"$corpus/header/tiff-tiled"
printf '\x89PNG\x0d\x0a\x1a\x0a\x00\x00\x00\x0dIHDR\x00\x00\x00\x08\x00\x00\x00\x08\x08\x00\x00\x00\x00\xe1d\xe1W\x00\x00\x00\x0fzTXtk\x00\x00x\x9cc\x60\xa0\x3d\x00\x00\x00d\x00\x01\xb7\x17\xfd\xfd\x00\x00\x00\x11iTXtk\x00\x01\x00\x00\x00x\x9c\xab\xa8\x80\x01\x00\x19\xd2\x04\xb1Q\x1ak\xee\x00\x00\x00\x0cIDATx\x9cc\x60\xa0\x0e\x00\x00\x00H\x00\x01\x2e\xb8\x3c\x7e\x00\x00\x00\x00IEND\xaeB\x60\x82' \
  >"$corpus/header/png-text"
printf '\xff\xd8\xff\xe0\0\x04\0\0\xff\xc2\0\x0b\x08\0\x10\0\x10\x01\x01\x11\0\xff\xda\0\x08\x01\x01\0\0\0\0\x12\xff\0\xff\xd0\x34\xff\xda\0\x08\x01\x01\0\x01\x3f\0\x56\xff\xd9' \
  >"$corpus/header/jpeg"
# A PNG with a large zTXt of honest text, as cameras write EXIF in hexadecimal: 90 KB inflated.
python3 - "$corpus/header/png-large-text" <<'EOF'
import random, struct, sys, zlib
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
random.seed(7)
text = "".join(random.choice("0123456789abcdef \n") for _ in range(90000)).encode()
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 8, 8, 8, 0, 0, 0, 0)) +
       chunk(b"zTXt", b"Raw profile type exif\0\0" + zlib.compress(text, 9)) +
       chunk(b"IDAT", zlib.compress(bytes(9 * 8))) + chunk(b"IEND", b""))
open(sys.argv[1], "wb").write(png)
EOF
# Colour profiles: a PNG's deflated, a JPEG's in APP2, and a JPEG whose EXIF names Adobe RGB.
# Files of many small parts, so that the counts of chunks, extensions, directories, entries and
# records are reached.
for kind in png-ztxt gif-comments tiff-directories ico-entries emf-pixels; do
  "$root/bench/hostile_pictures.py" --flood "$kind" 3 "$corpus/header/flood-$kind"
done
for format in png jpg; do
  convert -size 8x8 'xc:rgb(60,180,90)' -profile /usr/share/color/icc/compatibleWithAdobeRGB1998.icc \
    "$format:$corpus/header/tagged-$format"
done
printf '\xff\xd8\xff\xe1\0\x52Exif\0\0MM\0*\0\0\0\x08\0\x01\x87\x69\0\x04\0\0\0\x01\0\0\0\x1a\0\0\0\0\0\x02\xa0\x01\0\x03\0\0\0\x01\xff\xff\0\0\xa0\x05\0\x04\0\0\0\x01\0\0\0\x38\0\0\0\0\0\x01\0\x01\0\x02\0\0\0\x04R03\0\0\0\0\0\xff\xc0\0\x0b\x08\0\x10\0\x10\x01\x01\x11\0\xff\xda\0\x08\x01\x01\0\0\x3f\0\x12\xff\xd9' \
  >"$corpus/header/jpeg-exif-adobe"
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
