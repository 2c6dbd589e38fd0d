#!/usr/bin/env python3
"""Writes the sample member files the tool is packed with by default.

The title's real data is not ours to ship, so the samples stand in for it: each
has its table size and a byte stream that never repeats and differs per member,
so an offset or length mistake anywhere in packing or extraction shows up as
wrong bytes rather than passing unnoticed. Output is deterministic.
"""
import os
import sys

MEMBERS = [("STARTUP", 2693), ("S-REMIN", 2833), ("E-EAK2", 5506), ("E-EAK9", 7115)]


def member_bytes(index, name, size):
    head = f"{name} sample member {index + 1}/4, {size} bytes\n".encode("ascii")
    out = bytearray(head)
    # xorshift32, seeded per member: no period within these sizes, distinct streams.
    state = 0x9E3779B9 ^ (0x01000193 * (index + 1)) & 0xFFFFFFFF
    while len(out) < size:
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out += state.to_bytes(4, "little")
    return bytes(out[:size])


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "samples", "members")
    os.makedirs(folder, exist_ok=True)
    for i, (name, size) in enumerate(MEMBERS):
        with open(os.path.join(folder, name + ".MPX"), "wb") as f:
            f.write(member_bytes(i, name, size))


if __name__ == "__main__":
    main()
