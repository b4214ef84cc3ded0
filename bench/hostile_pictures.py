#!/usr/bin/env python3
"""Writes the picture files the benchmark measures the pipeline's defences with: files crafted to
cost far more than their size, and honest pictures at the decoding budget, into one folder; or a
copy of a JPEG that an EXIF block says to show turned, or that carries a colour profile.

    hostile_pictures.py <folder>
    hostile_pictures.py --orientation <1 to 8> <jpeg> <copy>
    hostile_pictures.py --repeat-last-scan <times> <jpeg> <copy>
    hostile_pictures.py --icc-profile <profile> <jpeg> <copy>
    hostile_pictures.py --flood <kind> <count> <file>
"""
import struct
import sys
import zlib
from pathlib import Path


def png(width, height, depth, colour_type, channels, path):
    row = bytes(1 + (width * channels * depth + 7) // 8)
    packer = zlib.compressobj(9)
    data = b"".join(packer.compress(row) for _ in range(height)) + packer.flush()

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", data) + chunk(b"IEND", b"")


def grey_jpeg(width, height, coded=None):
    """A baseline grey JPEG whose Huffman tables hold one one-bit code each: every 8 x 8 block of
    one flat value takes two bits, the least any baseline JPEG can. `coded` cuts the data short."""
    blocks = -(-width // 8) * -(-height // 8)
    data = bytes(-(-blocks * 2 // 8) if coded is None else coded)
    one_code = bytes([1] + [0] * 15 + [0])
    return (b"\xff\xd8"
            + b"\xff\xdb" + struct.pack(">H", 67) + b"\x00" + bytes([1] * 64)
            + b"\xff\xc0" + struct.pack(">HBHHB", 11, 8, height, width, 1) + b"\x01\x11\x00"
            + b"\xff\xc4" + struct.pack(">H", 3 + 17) + b"\x00" + one_code
            + b"\xff\xc4" + struct.pack(">H", 3 + 17) + b"\x10" + one_code
            + b"\xff\xda" + struct.pack(">HB", 8, 1) + b"\x01\x00\x00\x3f\x00"
            + data + b"\xff\xd9")


def stuffed_zero_jpeg():
    """A stuffed zero where a marker belongs: a reader that takes a length from it lands on a
    16 x 16 frame hidden in an APP1 segment; a decoder hunts for the next marker and skips that
    segment, reaching the 20000 x 20000 frame."""
    hidden = b"\xff\xc0" + struct.pack(">HBHHB", 11, 8, 16, 16, 1) + b"\x01\x11\x00"
    app1 = b"\xff\xe1" + struct.pack(">H", 2 + 2 + len(hidden)) + b"\0\0" + hidden
    return b"\xff\xd8" + b"\xff\x00\x00\x08" + app1 + grey_jpeg(20000, 20000, coded=400)[2:]


def gif_small_screen():
    """A 16 x 16 logical screen whose first frame is 30000 x 30000."""
    coded = bytes(600_000)
    blocks = b"".join(bytes([len(coded[i:i + 255])]) + coded[i:i + 255] for i in range(0, len(coded), 255))
    return (b"GIF89a" + struct.pack("<HHBBB", 16, 16, 0x80, 0, 0) + bytes(6)
            + b"\x2c" + struct.pack("<HHHHB", 0, 0, 30000, 30000, 0) + b"\x02" + blocks + b"\x00\x3b")


def tiff_two_widths():
    """Two width tags, 60000 first and 160 last, over 160 x 120 grey pixels."""
    entries = [(256, 4, 60000), (256, 3, 160), (257, 3, 120), (258, 3, 8), (259, 3, 1), (262, 3, 1),
               (273, 4, 0), (277, 3, 1), (278, 3, 120), (279, 4, 160 * 120)]
    directory_at = 8
    pixels_at = directory_at + 2 + 12 * len(entries) + 4
    body = struct.pack("<H", len(entries))
    for tag, kind, value in entries:
        value = pixels_at if tag == 273 else value
        field = struct.pack("<HH", value, 0) if kind == 3 else struct.pack("<I", value)
        body += struct.pack("<HHI", tag, kind, 1) + field
    return b"II*\0" + struct.pack("<I", directory_at) + body + bytes(4) + bytes([128]) * (160 * 120)


def ico(image):
    """One directory entry saying 256 x 256 (stored as 0 x 0), pointing to the image."""
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(image), 22) + image


def bmp_rle8(side):
    """Run-length coded 8-bit pixels, one palette entry, and the end-of-picture code at once."""
    info = struct.pack("<IiiHHIIiiII", 40, side, side, 1, 8, 1, 2, 2835, 2835, 1, 0)
    pixels_at = 14 + len(info) + 4
    return b"BM" + struct.pack("<IHHI", pixels_at + 2, 0, 0, pixels_at) + info + bytes(4) + b"\x00\x01"


def bmp_core(side):
    """The old core header, 24-bit, and no pixels."""
    return b"BM" + struct.pack("<IHHI", 30, 0, 0, 26) + struct.pack("<IHHHH", 12, side, side, 1, 24) + bytes(4)


def lzw(pixels, code_size):
    """GIF's LZW coding of the pixels, a clear code whenever the table is full."""
    clear, end = 1 << code_size, (1 << code_size) + 1
    bits, count = 0, 0
    out = bytearray()

    def emit(code, width):
        nonlocal bits, count
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8

    table = {bytes([i]): i for i in range(clear)}
    width, next_code = code_size + 1, end + 1
    emit(clear, width)
    run = b""
    for pixel in pixels:
        longer = run + bytes([pixel])
        if longer in table:
            run = longer
            continue
        emit(table[run], width)
        if next_code == 4096:
            emit(clear, width)
            table = {bytes([i]): i for i in range(clear)}
            width, next_code = code_size + 1, end + 1
        else:
            table[longer] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        run = bytes([pixel])
    emit(table[run], width)
    emit(end, width)
    if count:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(width, height, frames, colour_table=True):
    """`frames` frames of one flat colour filling a `width` x `height` screen, with a global colour
    table of four entries or none at all."""
    data = lzw(bytes(width * height), 2)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    frame = (b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02" + blocks + b"\x00")
    flags = 0x81 if colour_table else 0
    table = bytes([0x33, 0x66, 0x99]) + bytes(9) if colour_table else b""
    return b"GIF89a" + struct.pack("<HHBBB", width, height, flags, 0, 0) + table + frame * frames + b"\x3b"


def grey_tiff(width, height, extra):
    """An uncompressed 8-bit grey TIFF in one strip, with `extra` entries (tag, type, count, value)
    beside the ones it needs."""
    pixels = bytes([128]) * (width * height)
    entries = [(256, 3, 1, width), (257, 3, 1, height), (258, 3, 1, 8), (259, 3, 1, 1),
               (262, 3, 1, 1), (273, 4, 1, 0), (277, 3, 1, 1), (278, 3, 1, height),
               (279, 4, 1, len(pixels))] + extra
    entries.sort()
    pixels_at = 8 + 2 + 12 * len(entries) + 4
    body = struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        value = pixels_at if tag == 273 else value
        field = struct.pack("<HH", value, 0) if kind == 3 and count == 1 else struct.pack("<I", value)
        body += struct.pack("<HHI", tag, kind, count) + field
    return b"II*\0" + struct.pack("<I", 8) + body + bytes(4) + pixels


def png_with_text_bomb(inflated):
    """A 64 x 48 grey PNG with a zTXt chunk that inflates to `inflated` bytes."""
    packer = zlib.compressobj(9)
    block = bytes(1 << 20)
    text = b"".join(packer.compress(block) for _ in range(inflated >> 20)) + packer.flush()
    body = b"Comment\0\0" + text
    chunk = struct.pack(">I", len(body)) + b"zTXt" + body + struct.pack(">I", zlib.crc32(b"zTXt" + body))
    plain = png(64, 48, 8, 0, 1, None)
    return plain[:33] + chunk + plain[33:]


def repeat_last_scan(jpeg, times):
    """The JPEG with its last scan, header and data, repeated before the end-of-image marker."""
    at, last = 2, None
    while at < len(jpeg):
        code = jpeg[at + 1]
        if code == 0xD9:
            break
        length = struct.unpack(">H", jpeg[at + 2:at + 4])[0]
        end = at + 2 + length
        if code == 0xDA:  # the scan's data runs to the next marker that is neither a zero nor a restart
            while not (jpeg[end] == 0xFF and jpeg[end + 1] not in (0x00, *range(0xD0, 0xD8))):
                end += 1
            last = jpeg[at:end]
        at = end
    return jpeg[:at] + last * times + jpeg[at:]


def with_orientation(jpeg, orientation):
    """The JPEG with an APP1 EXIF block holding only the orientation, right after its start."""
    tiff = b"MM\0*" + struct.pack(">IH", 8, 1) + struct.pack(">HHIHH", 274, 3, 1, orientation, 0) + bytes(4)
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", 2 + 6 + len(tiff)) + b"Exif\0\0" + tiff + jpeg[2:]


def with_profile(jpeg, profile):
    """The JPEG with the ICC profile in APP2 pieces right after its start; its scans untouched."""
    most = 65535 - 2 - 14
    pieces = [profile[at:at + most] for at in range(0, len(profile), most)]
    segments = b"".join(b"\xff\xe2" + struct.pack(">H", 2 + 14 + len(piece)) + b"ICC_PROFILE\0" +
                        bytes([number, len(pieces)]) + piece
                        for number, piece in enumerate(pieces, 1))
    return jpeg[:2] + segments + jpeg[2:]


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png_flood(kind, body, count, width=64, height=64):
    """A grey PNG carrying `count` ancillary chunks of `kind` before its pixels."""
    plain = png(width, height, 8, 0, 1, None)
    return plain[:33] + chunk(kind, body) * count + plain[33:]


def gif_flood(count, blocks_each=1, frames=1):
    """An 8 x 8 GIF whose `count` comment extensions, of `blocks_each` one-byte sub-blocks each,
    come before each of its `frames` frames."""
    comment = b"\x21\xfe" + b"\x01c" * blocks_each + b"\x00"
    frame = gif(8, 8, 1)[6 + 7 + 12:-1]
    return gif(8, 8, 0)[:-1] + (comment * count + frame) * frames + b"\x3b"


def emf(records, count, width=1000, height=750):
    """An EMF of `width` x `height` pixels at 96 per inch made of `count` `records`."""
    himetric = lambda pixels: pixels * 2540 // 96
    eof = struct.pack("<IIIII", 14, 20, 0, 16, 20)
    header_bytes = 88
    total = header_bytes + len(records) + len(eof)
    header = (struct.pack("<II", 1, header_bytes) + struct.pack("<iiii", 0, 0, width - 1, height - 1)
              + struct.pack("<iiii", 0, 0, himetric(width), himetric(height))
              + b" EMF" + struct.pack("<IIIHHIII", 0x10000, total, count + 2, 1, 0, 0, 0, 0)
              + struct.pack("<iiii", 1920, 1080, 508, 285))
    return header + records + eof


def emf_pixels(count, width=1000):
    """An EMF of `count` one-pixel records."""
    return emf(b"".join(struct.pack("<IIiiI", 15, 20, i % width, (i // width) % 750, 0x00336699)
                        for i in range(count)), count)


def emf_rectangles(count):
    """An EMF of `count` rectangles, each filling the whole picture: a few bytes each, however
    many pixels they fill."""
    return emf(struct.pack("<IIiiii", 43, 24, 0, 0, 1000, 750) * count, count)


def tiff_directory_flood(count):
    """A 64 x 48 grey TIFF whose first directory is followed by `count` empty ones, chained."""
    first = grey_tiff(64, 48, [])
    chain_at = len(first)
    directory_bytes = 2 + 12 + 4
    out = bytearray(first)
    out[chain_at - 4 - 64 * 48:chain_at - 64 * 48] = struct.pack("<I", chain_at)
    for i in range(count):
        following = chain_at + (i + 1) * directory_bytes if i + 1 < count else 0
        out += struct.pack("<H", 1) + struct.pack("<HHIHH", 256, 3, 1, 8, 0) + struct.pack("<I", following)
    return bytes(out)


def tiff_tag_flood(count):
    """A 64 x 48 grey TIFF whose directory holds `count` private tags beside the ones it needs."""
    return grey_tiff(64, 48, [(65535 - i, 3, 1, 0) for i in range(count)])


def ico_flood(count):
    """An icon whose directory lists `count` entries, all for one 16 x 16 PNG."""
    image = png(16, 16, 8, 0, 1, None)
    at = 6 + 16 * count
    entry = struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(image), at)
    return struct.pack("<HHH", 0, 1, count) + entry * count + image


def jpeg_flood(code, count):
    """A small grey JPEG with `count` empty segments of `code` (COM, APPn) before its frame."""
    jpeg = grey_jpeg(64, 48)
    return jpeg[:2] + (b"\xff" + bytes([code]) + struct.pack(">H", 2)) * count + jpeg[2:]


FLOODS = {
    "png-ztxt": lambda n: png_flood(b"zTXt", b"k\0\0", n),
    "png-text": lambda n: png_flood(b"tEXt", b"k\0", n),
    "png-private": lambda n: png_flood(b"prVt", b"", n),
    "gif-comments": lambda n: gif_flood(n),
    "gif-sub-blocks": lambda n: gif_flood(1, n),
    "emf-pixels": emf_pixels,
    "emf-rectangles": emf_rectangles,
    "tiff-directories": tiff_directory_flood,
    "tiff-tags": tiff_tag_flood,
    "ico-entries": ico_flood,
    "jpeg-comments": lambda n: jpeg_flood(0xFE, n),
}


def main():
    if sys.argv[1] == "--flood":
        Path(sys.argv[4]).write_bytes(FLOODS[sys.argv[2]](int(sys.argv[3])))
        return
    if sys.argv[1] == "--icc-profile":
        Path(sys.argv[4]).write_bytes(with_profile(Path(sys.argv[3]).read_bytes(), Path(sys.argv[2]).read_bytes()))
        return
    if sys.argv[1] == "--orientation":
        Path(sys.argv[4]).write_bytes(with_orientation(Path(sys.argv[3]).read_bytes(), int(sys.argv[2])))
        return
    if sys.argv[1] == "--repeat-last-scan":
        Path(sys.argv[4]).write_bytes(repeat_last_scan(Path(sys.argv[3]).read_bytes(), int(sys.argv[2])))
        return
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    hostile = {
        "ico-holding-20000x20000-png.ico": lambda: ico(png(20000, 20000, 8, 0, 1, None)),
        "jpeg-stuffed-zero-20000x20000.jpg": stuffed_zero_jpeg,
        "gif-16x16-screen-30000x30000-frame.gif": gif_small_screen,
        "tiff-two-widths.tif": tiff_two_widths,
        "png-16bit-rgba-15800x15800.png": lambda: png(15800, 15800, 16, 6, 4, None),
        "bmp-rle8-15811x15811.bmp": lambda: bmp_rle8(15811),
        "bmp-core-15811x15811.bmp": lambda: bmp_core(15811),
        "jpeg-16000x15000-in-6kb.jpg": lambda: grey_jpeg(16000, 15000, coded=6000),
        "gif-without-any-colour-table.gif": lambda: gif(64, 48, 1, colour_table=False),
        "tiff-tiles-of-0x7ffffff0-beside-strips.tif":
            lambda: grey_tiff(64, 48, [(322, 4, 1, 0x7FFFFFF0), (323, 4, 1, 0x7FFFFFF0)]),
        "tiff-description-of-0x7fffffff-bytes-in-3kb.tif": lambda: grey_tiff(64, 48, [(270, 2, 0x7FFFFFFF, 8)]),
        "png-ztxt-inflating-to-200mib.png": lambda: png_with_text_bomb(200 << 20),
        "gif-5000-frames.gif": lambda: gif(64, 48, 5000),
        "ico-holding-6476x6476-png.ico": lambda: ico(png(6476, 6476, 8, 0, 1, None)),
        # Floods of tiny parts, each costing a decoder something while costing the file a few bytes.
        "png-1000000-ztxt-chunks.png": lambda: FLOODS["png-ztxt"](1_000_000),
        "gif-1000000-comments-before-its-frame.gif": lambda: FLOODS["gif-comments"](1_000_000),
        "jpeg-1000000-comments.jpg": lambda: FLOODS["jpeg-comments"](1_000_000),
        "tiff-65000-private-tags.tif": lambda: FLOODS["tiff-tags"](65_000),
        "tiff-100000-directories.tif": lambda: FLOODS["tiff-directories"](100_000),
        "ico-65535-entries.ico": lambda: FLOODS["ico-entries"](65_535),
        "emf-4000000-one-pixel-records.emf": lambda: emf_pixels(4_000_000),
        "emf-100000-rectangles-filling-it.emf": lambda: emf_rectangles(100_000),
        # Their honest neighbours.
        "honest-png-60-text-chunks.png": lambda: FLOODS["png-text"](60),
        "honest-gif-1000-frames-a-comment-each.gif": lambda: gif_flood(1, 1, 1000),
        "honest-jpeg-20-app-segments.jpg": lambda: jpeg_flood(0xE5, 20),
        "honest-emf-300000-records.emf": lambda: emf_pixels(300_000),
        # Honest, and as costly as the budget lets a picture be.
        "budget-grey-jpeg-12952x12952.jpg": lambda: grey_jpeg(12952, 12952),
        "budget-gif-1000-frames.gif": lambda: gif(64, 48, 1000),
    }
    for name, make in hostile.items():
        (folder / name).write_bytes(make())


if __name__ == "__main__":
    main()
