#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora from the sample logs: records of each kind, the first
records of a log, and the meter's replies framed as they arrive (ACK, STX, length, payload,
checksum). Run from the repository root: python3 fuzz/make_seeds.py"""
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")
RECORD = 64


def frame(payload):
    checksum = (~(len(payload) + sum(payload))) & 0xFF
    return bytes([0x02, len(payload)]) + payload + bytes([checksum])


def records(name):
    data = open(os.path.join(ROOT, "samples", name), "rb").read()
    return [data[i:i + RECORD] for i in range(0, len(data), RECORD) if data[i]]


def write(target, name, content):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as seed:
        seed.write(content)


def main():
    mixed = records("mixed.tlg")
    ends_with_e = records("ends-with-e.tlg")
    by_kind = {}
    for record in mixed + ends_with_e:
        by_kind.setdefault(chr(record[0]), record)
    for kind, record in sorted(by_kind.items()):
        write("record", "kind-" + kind, record)
    write("log-file", "mixed-first-8", b"".join(mixed[:8]))
    write("log-file", "ends-with-e-last-4", b"".join(ends_with_e[-4:]))
    write("log-file", "short", b"".join(mixed[:2])[:100])
    write("frame", "record-reply", frame(mixed[0]))
    write("frame", "end-of-log", frame(b"END"))
    write("frame", "erase-success", frame(b"SUCCESS"))
    write("frame", "version", frame(b"KLXR V2.31 S/N 104512"))
    write("frame", "empty", frame(b""))
    replies = bytes([0x06]) + frame(mixed[1])
    write("conversation", "one-record", replies + bytes([0x06]) + frame(b"END"))
    write("conversation", "nak", bytes([0x15]))
    write("conversation", "success", bytes([0x06]) + frame(b"SUCCESS"))


if __name__ == "__main__":
    main()
