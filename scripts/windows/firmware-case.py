#!/usr/bin/env python3
"""Prepares a firmware case of tests/data/firmware for the tessaro-cli.exe round trip.

Usage: firmware-case.py CASE_FOLDER BIN_FOLDER EXPECTED_FILE

Writes the case's bank files into BIN_FOLDER ("banks" names them, "name length"
a line; without it bank1.bin and bank2.bin of 16384 bytes) and, when the case
has an expected.sx, writes it to EXPECTED_FILE with every "<bankN.bin>" line
replaced by that bank's 512 S2 records. The bytes and records are made as
tests/support/FirmwareFixtures.h makes them, so one golden file serves both.
"""
import os
import sys


def bank_bytes(bank, length):
    return bytes((i * 7 + i // 251 + bank * 29) & 0xFF for i in range(length))


def s2_record(address, data):
    data = data[:32]
    total = 0x24 + (address >> 16 & 0xFF) + (address >> 8 & 0xFF) + (address & 0xFF) + sum(data)
    return "S224%06X%s%02X" % (address, data.hex().upper(), ~total & 0xFF)


def bank_lines(bank, data):
    first = 0x388000 + (bank - 1) * 0x10000
    return "".join(s2_record(first + record * 32, data[record * 32:record * 32 + 32]) + "\r\n"
                   for record in range(512))


def main(case, bin_folder, expected_file):
    banks = [("bank1.bin", 16384), ("bank2.bin", 16384)]
    listing = os.path.join(case, "banks")
    if os.path.exists(listing):
        with open(listing) as f:
            words = f.read().split()
        banks = [(words[i], int(words[i + 1])) for i in range(0, len(words), 2)]
    os.makedirs(bin_folder, exist_ok=True)
    for name, length in banks:
        with open(os.path.join(bin_folder, name), "wb") as f:
            f.write(bank_bytes(int(name[4]), length))
    golden = os.path.join(case, "expected.sx")
    if not os.path.exists(golden):
        return
    with open(golden, "rb") as f:
        expected = f.read().decode("latin-1")
    for name, length in banks:
        bank = int(name[4])
        expected = expected.replace("<%s>\r\n" % name, bank_lines(bank, bank_bytes(bank, length)), 1)
    with open(expected_file, "wb") as f:
        f.write(expected.encode("latin-1"))


if __name__ == "__main__":
    main(*sys.argv[1:4])
