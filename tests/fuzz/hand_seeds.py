#!/usr/bin/env python3
"""Small malformed files for the GPS fuzzer, one per trap the readers must
survive. usage: hand_seeds.py OUTPUT-FOLDER"""
import os
import struct
import sys


def box(kind, body=b"", size=None):
    return struct.pack(">I", 8 + len(body) if size is None else size) + kind + body


def box64(kind, body=b""):
    return struct.pack(">I", 1) + kind + struct.pack(">Q", 16 + len(body)) + body


def media(handler, offsets_box):
    hdlr = box(b"hdlr", bytes(8) + handler + bytes(12) + b"name\0")
    return box(b"mdia", hdlr + box(b"minf", box(b"stbl", offsets_box)))


def track(handler, offsets_box):
    return box(b"trak", media(handler, offsets_box))


def stco(offsets):
    return box(b"stco", struct.pack(">II", 0, len(offsets)) + b"".join(struct.pack(">I", o) for o in offsets))


def co64(offsets):
    return box(b"co64", struct.pack(">II", 0, len(offsets)) + b"".join(struct.pack(">Q", o) for o in offsets))


def record(second, status=b"A"):
    r = struct.pack("<iii", 10, 30, second) + status + bytes(3)
    r += struct.pack("<d", 22.5) + b"N" + bytes(7) + struct.pack("<d", 114.0) + b"E" + bytes(7)
    r += struct.pack("<dd", 5.0, 90.0) + struct.pack("<iiiiii", 2024, 6, 15, 1, -1, 1000) + bytes(32)
    assert len(r) == 120
    return r


def gps_block():
    b = bytearray(88)
    b[4:12] = b"freeGPS "
    b[48:72] = struct.pack("<iiiiii", 10, 30, 0, 24, 6, 15)
    b[72:75] = b"ANE"
    b[76:88] = struct.pack("<fff", 2232.586, 11357.12, 10.0)
    return bytes(b)


def ts_packet(rec=None):
    if rec is None:
        return b"\x47\x01\x00\x10" + b"\xff" * 184
    return b"\x47\x43\x00\x10" + b"\xff" * 14 + rec + b"\xff" * 50


def seeds():
    ftyp = box(b"ftyp", b"isom" + bytes(4))
    payload = record(0) + record(1) + gps_block()
    base = len(ftyp) + 8
    mdat = box(b"mdat", payload)
    sbtl = track(b"sbtl", stco([base, base + 120]))
    index = box(b"gps ", struct.pack(">II", 0x101, 2) + struct.pack(">IIII", base + 240, 88, base + 240, 88))
    yield "sbtl.mp4", ftyp + mdat + box(b"moov", sbtl)
    yield "gps_index.mp4", ftyp + mdat + box(b"moov", index + sbtl)
    yield "co64_box64.mp4", ftyp + mdat + box64(b"moov", box64(b"trak", media(b"sbtl", co64([base]))))
    yield "moov_size0.mp4", ftyp + mdat + box(b"moov", sbtl, size=0)
    yield "child_past_parent.mp4", ftyp + box(b"moov", sbtl + box(b"junk", size=0x7FFFFFFF))
    yield "child_size4.mp4", box(b"moov", box(b"junk", size=4) + sbtl)
    yield "index_overcount.mp4", ftyp + mdat + box(b"moov", box(b"gps ", struct.pack(">IIII", 0, 0xFFFFFFFF, base + 240, 88)))
    yield "stco_overcount.mp4", box(b"moov", track(b"sbtl", box(b"stco", struct.pack(">III", 0, 0xFFFFFFFF, 8))))
    yield "wrapping_size64.mp4", box(b"moov", sbtl) + struct.pack(">I", 1) + b"junk" + struct.pack(">Q", 2**64 - 8)
    yield "gps_at_20.ts", b"".join(ts_packet(record(i) if i in (20, 30) else None) for i in range(40))
    yield "cut_packet.ts", (ts_packet(record(0)) * 2)[:188 + 140]
    yield "sidecar.gps", record(0) + record(1, b"a") + record(2, b"V")[:100]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
