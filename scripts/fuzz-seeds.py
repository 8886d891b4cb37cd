#!/usr/bin/env python3
"""Writes seed inputs for the MIDI input fuzzer: the messages the instrument really sends."""
import os
import sys


def message(data):
    """One message record: control byte (length - 1) << 2, then the bytes."""
    out = bytearray()
    for start in range(0, len(data), 64):
        piece = data[start:start + 64]
        out.append((len(piece) - 1) << 2)
        out += piece
    return out


def main(folder):
    packed = bytes((i * 7) & 0x7F for i in range(1171))
    seeds = {
        "program-dump": bytes([8]) + message(bytes([0xF0, 0x01, 0x2B, 0x02, 5, 7]) + packed + b"\xF7"),
        "edit-buffer": bytes([0]) + message(bytes([0xF0, 0x01, 0x2A, 0x03]) + packed + b"\xF7"),
        "globals-nibbles": bytes([0]) + message(bytes([0xF0, 0x01, 0x2B, 0x0F] + [i & 15 for i in range(50)] + [0xF7])),
        "globals-bytes": bytes([0]) + message(bytes([0xF0, 0x01, 0x2B, 0x0F] + list(range(100)) + [0xF7])),
        "identity": bytes([0]) + message(bytes([0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x2B, 0xF7])),
        "nrpn": bytes([0]) + b"".join(message(bytes(m)) for m in ([0xB0, 99, 0], [0xB0, 98, 5], [0xB0, 6, 0], [0xB0, 38, 11])),
        "thru-notes": bytes([7]) + message(bytes([0x90, 60, 100])) + message(bytes([0x80, 60, 0]))
        + message(bytes([0xB0, 32, 2])) + message(bytes([0xC0, 7])) + bytes([2, 0x90, 61, 1]),
        "partial": bytes([0]) + message(bytes([0xF0, 0x01, 0x2B, 0x03]) + packed[:100]) + bytes([1]),
    }
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, "seed-" + name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
