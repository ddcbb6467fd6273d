#!/usr/bin/env python3
"""Writes the seed corpora of the temperature-file and capture-file fuzz targets
into corpus-temperature/ and corpus-capture/.

Temperature seeds: a settings byte (bits 0..1 decimal separator ".", ",", "::",
"", bit 2 automatic colour range, bit 3 filter, bits 4..5 interpolation, bits 6..7
palette group) followed by the file.

Capture seeds: whole files (header, records), sound, cut and damaged, and raw
streams; the layout is that of docs/capture-format.md.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- temperature

def grid(value, rows=24, cols=32, sep=" ", fmt="{:.2f}", end="\n"):
    lines = []
    for r in range(rows):
        lines.append(sep.join(fmt.format(value(r, c)) for c in range(cols)))
    return end.join(lines) + end


def temperature():
    t = lambda s, text: bytes([s]) + (text.encode("utf-8") if isinstance(text, str) else text)
    write("corpus-temperature", "uniform_auto", t(0x04, grid(lambda r, c: 21.5 if (r, c) != (5, 7) else 30.2)))
    write("corpus-temperature", "negative_comma", t(0x05, grid(lambda r, c: -7.5 + c * 0.1).replace(".", ",")))
    write("corpus-temperature", "tabs_crlf_quotes",
          t(0x14, grid(lambda r, c: r + c / 10, sep="\t", fmt='"{:.1f}"', end="\r\n")))
    write("corpus-temperature", "long_lines_extra_rows",
          t(0x24, grid(lambda r, c: 100 - r, rows=26, cols=40, fmt="{:.3e}")))
    write("corpus-temperature", "short_file", t(0x04, "1 2 3\n4\r5 6"))
    write("corpus-temperature", "utf16le_bom",
          t(0x44, b"\xff\xfe" + grid(lambda r, c: 36.6, rows=3, cols=4).encode("utf-16-le")))
    write("corpus-temperature", "utf16be_bom_filter",
          t(0x4C, b"\xfe\xff" + grid(lambda r, c: 20 + r * c, rows=24, cols=32).encode("utf-16-be")))
    write("corpus-temperature", "utf8_bom_continuous",
          t(0x84, b"\xef\xbb\xbf" + grid(lambda r, c: -40 + 10 * r, rows=24, cols=32).encode()))
    write("corpus-temperature", "extremes_fixed_range",
          t(0x00, "1e308 -1e308 1e-400 0 -0 +5 .5 5. 2.5E+1\n" + "9990 -273.15\n"))
    write("corpus-temperature", "double_colon_separator", t(0x36, grid(lambda r, c: 12.25, fmt="{:.2f}").replace(".", "::")))
    write("corpus-temperature", "not_a_number", t(0x04, "1 2 abc\n"))
    write("corpus-temperature", "no_separator", t(0x07, "12 13 1e3\n"))


# -------------------------------------------------------------------- capture

MAGIC = b"\x89KVC\r\n\x1a\n"


def header(start=1796852700123456, offset=3600, version=1, size=28, extra=b""):
    body = MAGIC + struct.pack("<HHqi", version, size, start, offset) + extra
    return body + struct.pack("<I", zlib.crc32(body) & 0xFFFFFFFF)


def record(micros, data, crc=None, length=None):
    head = struct.pack("<QI", micros, len(data) if length is None else length)
    check = zlib.crc32(head + data) & 0xFFFFFFFF if crc is None else crc
    return head + data + struct.pack("<I", check)


def frame(kind, payload_words, tag=0):
    words = b"".join(struct.pack(">H", w & 0xFFFF) for w in payload_words)
    return b"MLX" + bytes([tag]) + kind + words


def capture():
    sys_frame = frame(b"SYS", range(32))
    eem = frame(b"EEM", [(k * 37 + 11) for k in range(832)])
    eem += struct.pack(">H", sum(eem[7:]) & 0xFFFF)
    frm = frame(b"FRM", [(k * 7) for k in range(834)], tag=1)
    chunks = [(0, eem), (0, sys_frame), (125000, frm), (250000, frm[:1000]), (250100, frm[1000:])]
    sound = header() + b"".join(record(t, d) for t, d in chunks)
    write("corpus-capture", "sound_session", sound)
    write("corpus-capture", "cut_in_record", sound[:-700])
    write("corpus-capture", "cut_in_header", sound[:17])
    damaged = bytearray(sound)
    damaged[28 + 12 + 100] ^= 0x04
    write("corpus-capture", "damaged_record", bytes(damaged))
    write("corpus-capture", "huge_length", header() + record(5, b"MLX\x00SYS" + bytes(64)) +
          record(6, b"abc", length=0xFFFFFFF0))
    write("corpus-capture", "time_goes_back", header() + record(900, b"first") + record(800, b"second"))
    write("corpus-capture", "later_version", header(version=2))
    write("corpus-capture", "long_header_utc", header(offset=0, size=40, extra=bytes(range(8))) +
          record(1, b"x") + record(1, b"") + record(2**63, b"late"))
    write("corpus-capture", "header_size_too_small", header(size=12))
    write("corpus-capture", "raw_stream", eem + sys_frame + frm)
    write("corpus-capture", "magic_only", MAGIC)
    write("corpus-capture", "empty", b"")


if __name__ == "__main__":
    temperature()
    capture()
