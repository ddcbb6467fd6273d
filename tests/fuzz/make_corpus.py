#!/usr/bin/env python3
"""Writes the seed corpus of the frame-intake fuzz target into corpus/.

Each seed: a flags byte (bit 0 English, bit 1 double-frame option, bit 2
calibration accepted, bits 3..7 descriptor count - 1), the chunk-size descriptors
(2 bytes little-endian: bits 0..12 size, bit 13 alternative path, bit 14 busy
decoder) and the byte stream they cut.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def words(values):
    return b"".join(struct.pack(">H", v & 0xFFFF) for v in values)


def head(kind):
    return b"MLX\x00" + kind


def checksum(data):
    return struct.pack(">H", sum(data) & 0xFFFF)


def block(mv=3000, photos=7):
    w = list(range(32))
    w[19], w[21], w[22], w[23], w[24] = mv, 0x2103, 0x0509, 0x4517, photos
    return words(w)


def sys_frame():
    return head(b"SYS") + block()


def eem_frame(good=True):
    payload = words((k * 37 + 11) for k in range(832))
    check = checksum(payload) if good else b"\x00\x01"
    return head(b"EEM") + payload + check


def frm_frame(subpage, good=True, with_block=True):
    w = [(0xFF00 + k) for k in range(768)] + [k for k in range(65)] + [subpage]
    payload = words(w)
    out = head(b"FRM") + payload + (checksum(payload) if good else b"\xff\xff")
    if with_block:
        out += b"\xee" * 7 + block()
    return out


def half_frame(subpage, with_block=True):
    pixels = words((0x1000 + k) for k in range(384))
    aux = words([k for k in range(65)] + [0x0100 | subpage])
    out = head(b"FR%d" % subpage) + pixels + aux
    if with_block:
        out += b"\xee" * 9 + block()
    return out


def pht_frame(with_date=True):
    out = head(b"PHT") + words([k for k in range(833)] + [3])
    if with_date:
        out += bytes([0x19, 0x12, 0x31, 0x23, 0x59, 0x58])
    return out


def seed(flags, sizes, stream):
    assert 1 <= len(sizes) <= 32
    out = bytes([(flags & 7) | ((len(sizes) - 1) << 3)])
    out += b"".join(struct.pack("<H", s) for s in sizes)
    return out + stream


ALT, BUSY = 0x2000, 0x4000
SEEDS = {
    "whole_frames": seed(1, [1673, 71, 1748, 1748],
                         eem_frame() + sys_frame() + frm_frame(0) + frm_frame(1)),
    "split_frames": seed(1, [1000, 673, 40, 31, 900, 848],
                         eem_frame() + sys_frame() + frm_frame(1) + frm_frame(0)),
    "half_frames": seed(5, [980, 980, 907, 907],
                        half_frame(0) + half_frame(1) + half_frame(0, False) + half_frame(1, False)),
    "chinese_bad_check": seed(0, [1673, 1677],
                              eem_frame(False) + frm_frame(1, good=False, with_block=False)),
    "photo_and_type": seed(1, [17, 1681, 1675],
                           b"TYPE=MLX90640\r\n\r\n" + pht_frame() + pht_frame(False)),
    "busy_then_idle": seed(1, [1673 | BUSY, 6, 1748 | BUSY, 10, 1748],
                           eem_frame() + b"\x00" * 6 + frm_frame(0) + b"\x01" * 10 + frm_frame(1)),
    "alternative_path": seed(1, [1673 | ALT, 1000 | ALT, 748 | ALT, 71 | ALT, 1676 | ALT],
                             eem_frame() + frm_frame(0) + sys_frame() + frm_frame(1)[:1676]),
    "short_check_words": seed(1, [1671 | ALT, 1672 | ALT, 1675 | ALT, 1674 | ALT],
                              eem_frame()[:1671] + eem_frame()[:1672] + frm_frame(0)[:1675]
                              + pht_frame()[:1674]),
    "oversized_chunk": seed(5, [6000, 5000],
                            frm_frame(0) + b"\x44" * (6000 - 1748) + frm_frame(1) + b"\x00" * 3252),
    "double_frame_option": seed(7, [1748, 1748, 980, 980],
                                frm_frame(0) + frm_frame(0) + half_frame(1) + half_frame(1)),
    "limits_and_tiny": seed(1, [2049, 10, 5, 2048, 2048, 2049, 0, 6],
                            b"\x22" * 2049 + b"\x33" * 10 + b"MLX\x00F" + b"\x22" * 2048 * 2
                            + b"\x33" * 2049 + b"MLX\x00SY"),
    "odd_frames": seed(1, [1748 | ALT, 20, 12, 70 | ALT, 907, 1677, 1673],
                       frm_frame(0) + head(b"XYZ") + b"\x00" * 13 + b"noise\x00\x01\x02\x03\x04\x05\x06"
                       + sys_frame()[:70] + half_frame(0, False)[:906] + b"\x02"
                       + frm_frame(0, with_block=False)[:1674] + b"\x05\x00\x00" + eem_frame()),
}


def main():
    os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(HERE, "corpus", name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
