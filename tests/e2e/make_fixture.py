#!/usr/bin/env python3
"""Writes the pictures of the end-to-end fixture: 24-bit BMPs in solid colours, one per slot,
so that a screenshot shows which file went into which pane."""
import struct
import sys
from pathlib import Path

# Slot colours, in reading order (red, green, blue); the test samples them back.
COLOURS = [
    (220, 30, 30), (30, 160, 30), (30, 30, 220), (220, 220, 30),
    (220, 30, 220), (30, 200, 200), (240, 140, 20), (120, 60, 20),
    (250, 250, 250), (90, 90, 90), (150, 100, 230), (20, 90, 60),
]


def write_bmp(path: Path, width: int, height: int, colour) -> None:
    r, g, b = colour
    stride = (width * 3 + 3) & ~3
    row = bytes([b, g, r]) * width + b"\0" * (stride - width * 3)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    path.write_bytes(header + info + pixels)


def main() -> int:
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for index, colour in enumerate(COLOURS):
        write_bmp(folder / f"pic{index + 1:02d}.bmp", 40 + index, 30 + index, colour)
    # A thirteenth file, so that the list runs past one page.
    write_bmp(folder / "pic13.bmp", 16, 16, (0, 0, 0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
