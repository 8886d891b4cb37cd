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


def file_seeds():
    """Seeds for the file readers: a bank, a library, an edit buffer, the FX chunks."""
    record = bytes((i * 5) & 0x7F for i in range(1024))
    packed = bytes((i * 7) & 0x7F for i in range(1171))
    dump = bytes([0xF0, 0x01, 0x2B, 0x02, 0, 3]) + packed + b"\xF7"
    fx_program = b"Prophet12RavlinSettingsVersion100" + record
    fx_bank = b"Prophet12RavlinBankVersion100" + record * 100 + bytes([5])

    def container(kind, chunk):
        """A host's fxp/fxb container around a chunk (numbers big-endian)."""
        bank = kind == b"FBCh"
        head = b"CcnK" + (len(chunk) + (152 if bank else 52)).to_bytes(4, "big") + kind
        head += (1).to_bytes(4, "big") + b"P12R" + (1).to_bytes(4, "big") + (99 if bank else 1).to_bytes(4, "big")
        head += bytes(128 if bank else 28)
        return head + len(chunk).to_bytes(4, "big") + chunk

    return {
        "bank": dump * 3 + bytes([0xF0, 0x7E, 0xF7]) + dump,
        "edit-buffer": bytes([0xF0, 0x01, 0x2B, 0x03]) + packed + b"\xF7",
        "library": b"Mopho  Libr >" + record * 2 + b"< Mopho  Libr",
        "fx-program": fx_program,
        "fx-bank": fx_bank,
        "host-fxp": container(b"FPCh", fx_program),
        "host-fxb": container(b"FBCh", fx_bank),
        "keyboard-dump": bytes([0xF0, 0x01, 0x2A, 0x02, 1, 4]) + packed + b"\xF7",
    }


def main(folder):
    packed = bytes((i * 7) & 0x7F for i in range(1171))
    seeds = {
        "program-dump": bytes([8]) + message(bytes([0xF0, 0x01, 0x2B, 0x02, 5, 7]) + packed + b"\xF7"),
        "edit-buffer": bytes([0]) + message(bytes([0xF0, 0x01, 0x2A, 0x03]) + packed + b"\xF7"),
        "globals-nibbles": bytes([0]) + message(bytes([0xF0, 0x01, 0x2B, 0x0F] + [i & 15 for i in range(50)] + [0xF7])),
        "globals-bytes": bytes([0]) + message(bytes([0xF0, 0x01, 0x2B, 0x0F] + list(range(100)) + [0xF7])),
        "identity": bytes([0]) + message(bytes([0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x2B, 0xF7])),
        "identity-keyboard": bytes([0])
        + message(bytes([0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x2A, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xF7])),
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
    if len(sys.argv) == 3:
        target, out = sys.argv[1], sys.argv[2]
    else:
        target, out = "midi_input", sys.argv[1]
    if target == "file_readers":
        os.makedirs(out, exist_ok=True)
        for name, data in file_seeds().items():
            with open(os.path.join(out, "seed-" + name), "wb") as f:
                f.write(data)
    else:
        main(out)
