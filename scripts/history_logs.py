#!/usr/bin/env python3
"""Writes two variants of samples/mixed.tlg into FOLDER for the screenshots of the History window:
mixed-before.tlg, the log as a meter read it before a repair, and mixed-after.tlg, as it was saved
after it: a few digital levels moved by some dB, one MER lower and the last record gone.

    scripts/history_logs.py FOLDER      (FOLDER holds mixed.tlg)
"""
import sys

RECORD_SIZE = 64
DIGITAL_POWER = 42  # LevelWord of a digital record, tenths of dBm
MER = 44  # LevelWord, tenths of dB


def shift(log, record, offset, tenths):
    """Adds tenths to the 12-bit value of the LevelWord at offset of the record, keeping its marks."""
    at = record * RECORD_SIZE + offset
    word = int.from_bytes(log[at:at + 2], "big")
    value = ((word & 0xFFF) ^ 0x800) - 0x800 + tenths
    log[at:at + 2] = ((word & 0xF000) | (value & 0xFFF)).to_bytes(2, "big")


def main():
    folder = sys.argv[1]
    with open(folder + "/mixed.tlg", "rb") as sample:
        log = sample.read()
    before = bytearray(log)
    for record, tenths in ((1, 12), (4, 31), (6, -3)):
        shift(before, record, DIGITAL_POWER, tenths)
    after = bytearray(log)
    for record, tenths in ((6, 24), (11, -2)):
        shift(after, record, DIGITAL_POWER, tenths)
    shift(after, 10, MER, -45)
    after[39 * RECORD_SIZE:40 * RECORD_SIZE] = bytes(RECORD_SIZE)
    with open(folder + "/mixed-before.tlg", "wb") as out:
        out.write(before)
    with open(folder + "/mixed-after.tlg", "wb") as out:
        out.write(after)


if __name__ == "__main__":
    main()
