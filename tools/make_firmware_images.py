#!/usr/bin/env python3
"""Writes the two placeholder firmware images the build embeds.

Each image is 196,608 bytes of a deterministic pseudo-random stream (SHA-256
in counter mode) seeded by the model name, so the two differ everywhere and
no byte pattern repeats in a way that could hide an offset error.
"""
import hashlib
import pathlib
import sys

SIZE = 0x30000


def image(seed: str) -> bytes:
    out = bytearray()
    counter = 0
    while len(out) < SIZE:
        out += hashlib.sha256(f"{seed}:{counter}".encode()).digest()
        counter += 1
    return bytes(out[:SIZE])


def main() -> int:
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "logic/firmware")
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "image_a.bin").write_bytes(image("LMX-A20 firmware"))
    (folder / "image_b.bin").write_bytes(image("LMX-B20 firmware"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
