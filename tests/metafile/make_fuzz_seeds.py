#!/usr/bin/env python3
"""Writes the small hand-made seed metafiles of fuzz/corpus/{wmf,emf}: one per record family."""
import os
import struct
import sys

def wmf(records, placeable=True, objects=8, bounds=(0, 0, 100, 100), inch=96):
    body = b''.join(struct.pack('<IH', 3 + len(w), f) + struct.pack('<%dh' % len(w), *w)
                    if isinstance(w, list) else struct.pack('<IH', 3 + (len(w) + 1) // 2, f) + w + b'\0' * (len(w) % 2)
                    for f, w in records)
    body += struct.pack('<IH', 3, 0)
    head = struct.pack('<HHHIHIH', 1, 9, 0x300, 9 + len(body) // 2, objects, 0, 0)
    if not placeable:
        return head + body
    p = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, *bounds, inch, 0)
    s = 0
    for i in range(0, 20, 2):
        s ^= struct.unpack('<H', p[i:i + 2])[0]
    return p + struct.pack('<H', s) + head + body

def emf(records, size=100):
    body = b''.join(struct.pack('<II', t, 8 + len(p)) + p for t, p in records)
    body += struct.pack('<IIIII', 14, 20, 0, 0, 20)
    frame = int(size * 2540 / 96)
    head = struct.pack('<II4i4iIIIIHHIII2i2i', 1, 88, 0, 0, size - 1, size - 1, 0, 0, frame, frame,
                       0x464D4520, 0x10000, 88 + len(body), len(records) + 2, 8, 0, 0, 0, 0,
                       960, 960, 254, 254)
    return head + body

def ints(*v):
    return struct.pack('<%di' % len(v), *v)

RED = [0x00FF, 0x0000]
objects = [(0x02FA, [0, 1, 0, 0, 0]), (0x012D, [0]), (0x02FC, [0] + RED + [0]), (0x012D, [1])]
font = struct.pack('<5h8B', -20, 0, 450, 0, 700, 1, 1, 0, 128, 0, 0, 0, 0) + 'ＭＳ Ｐゴシック'.encode('cp932').ljust(32, b'\0')
dib = struct.pack('<IiiHHIIiiII', 40, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0) + bytes([255, 0, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0])
region = struct.pack('<HhihhhhhhhHhhhhhhH', 0, 6, 0, 34, 1, 0, 0, 0, 50, 50, 2, 0, 50, 0, 25, 30, 50, 2)

WMF = {
    'shapes.wmf': wmf(objects + [(0x041B, [60, 60, 10, 10]), (0x0418, [90, 90, 40, 40]),
                                 (0x061C, [20, 20, 95, 95, 70, 70]),
                                 (0x081A, [0, 50, 50, 100, 100, 100, 0, 0]),
                                 (0x0830, [100, 0, 50, 0, 80, 80, 20, 20]),
                                 (0x0817, [0, 0, 100, 100, 90, 90, 10, 10])]),
    'polys.wmf': wmf(objects + [(0x0106, [2]), (0x0324, [3, 0, 0, 100, 0, 0, 100]),
                                (0x0325, [3, 0, 100, 50, 0, 100, 100]),
                                (0x0538, [2, 3, 3, 0, 0, 50, 0, 0, 50, 50, 50, 100, 50, 50, 100]),
                                (0x0214, [10, 10]), (0x0213, [90, 90])]),
    'mapping.wmf': wmf(objects + [(0x0103, [8]), (0x020B, [0, 0]), (0x020C, [200, 400]),
                                  (0x020E, [100, 100]), (0x001E, []), (0x0103, [2]),
                                  (0x041B, [-50, 50, 0, 0]), (0x0127, [-1]),
                                  (0x0103, [7]), (0x041B, [100, 100, 0, 0])]),
    'text.wmf': wmf(objects + [(0x02FB, font), (0x012D, [2]), (0x012E, [24 | 1]), (0x0209, RED), (0x0214, [50, 10]),
                               (0x0521, b'\x04\x00\x82\xa0\x82\xa2\x32\x00\x0a\x00'),
                               (0x0A32, struct.pack('<hhhH4h', 80, 10, 3, 6, 0, 60, 100, 90) + b'abc\0' + struct.pack('<3h', 10, 10, 10))]),
    'clip.wmf': wmf(objects + [(0x0416, [80, 80, 20, 20]), (0x0415, [60, 60, 40, 40]),
                               (0x0220, [5, 5]), (0x06FF, region), (0x012C, [2]),
                               (0x041B, [100, 100, 0, 0])]),
    'bitmaps.wmf': wmf(objects + [(0x0F43, struct.pack('<IH8h', 0x00CC0020, 0, 2, 2, 0, 0, 50, 50, 0, 0) + dib),
                                  (0x0B41, struct.pack('<I8h', 0x008800C6, 2, 2, 0, 0, 40, 40, 50, 50) + dib),
                                  (0x0142, struct.pack('<HH', 5, 0) + dib), (0x012D, [2]),
                                  (0x061D, struct.pack('<I4h', 0x00F00021, 30, 30, 60, 0)),
                                  (0x0104, [7]), (0x041B, [100, 100, 0, 0])]),
    'bare.wmf': wmf([(0x020B, [0, 0]), (0x020C, [1440, 2880])] + objects + [(0x041B, [1000, 2000, 100, 100])],
                    placeable=False),
}

pen = ints(1, 0, 2, 0, 0x0000FF)
brush = ints(2, 0, 0x00FF00, 0)
ufont = ints(3, -24, 0, 900, 0, 400) + bytes([0, 0, 0, 1, 0, 0, 0, 0]) + 'Arial'.encode('utf-16le').ljust(64, b'\0')
text = ints(0, 0, 0, 0) + ints(1) + struct.pack('<ff', 1, 1) + ints(10, 60) + ints(3, 76, 0, 0, 0, 0, 0, 84) + 'ab\u3042'.encode('utf-16le') + b'\0\0' + ints(12, 12, 12)
poly16 = ints(0, 0, 0, 0, 4) + struct.pack('<8h', 0, 0, 90, 10, 50, 90, 10, 50)
polypoly = ints(0, 0, 0, 0, 2, 6, 3, 3) + ints(0, 0, 50, 0, 0, 50, 50, 50, 100, 50, 50, 100)
rgn = ints(48, 1) + ints(32, 1, 1, 16, 0, 0, 60, 60) + ints(0, 0, 60, 60)
stretch = ints(0, 0, 0, 0, 10, 10, 0, 0, 2, 2) + ints(80, 40, 120, 16) + ints(0, 0x00CC0020, 50, 50) + dib[:40] + dib[40:]
EMF = {
    'shapes.emf': emf([(38, pen), (37, ints(1)), (39, brush), (37, ints(2)), (43, ints(10, 10, 60, 60)),
                       (42, ints(30, 30, 90, 90)), (44, ints(5, 5, 95, 95, 30, 30)),
                       (57, ints(2)), (47, ints(0, 0, 100, 100, 100, 50, 50, 0)),
                       (46, ints(10, 10, 90, 90, 0, 0, 100, 100)), (45, ints(0, 0, 100, 100, 0, 50, 50, 100)),
                       (41, ints(50, 50, 30) + struct.pack('<ff', 45, 270))]),
    'paths.emf': emf([(38, pen), (37, ints(1)), (39, brush), (37, ints(2)), (59, b''), (27, ints(0, 0)),
                      (54, ints(100, 0)), (88, ints(0, 0, 0, 0, 3) + struct.pack('<6h', 100, 100, 0, 100, 0, 0)),
                      (61, b''), (60, b''), (63, ints(0, 0, 0, 0)), (59, b''), (42, ints(0, 0, 100, 100)),
                      (60, b''), (67, ints(1)), (86, poly16), (91, polypoly)]),
    'transform.emf': emf([(39, brush), (37, ints(2)), (17, ints(7)), (9, ints(200, 100)), (11, ints(100, 100)),
                          (35, struct.pack('<6f', 0.7, 0.7, -0.7, 0.7, 50, 0)),
                          (36, struct.pack('<6f', 1, 0, 0, 1, 10, 10) + ints(2)), (33, b''),
                          (43, ints(0, 0, 50, 50)), (34, ints(-1)), (17, ints(3)), (43, ints(0, 0, 1000, -1000))]),
    'text.emf': emf([(82, ufont), (37, ints(3)), (22, ints(6 | 24)), (24, ints(0x0000FF)), (84, text)]),
    'clip.emf': emf([(39, brush), (37, ints(2)), (75, rgn), (30, ints(10, 10, 90, 90)), (29, ints(40, 40, 50, 50)),
                     (26, ints(5, 5)), (43, ints(0, 0, 100, 100))]),
    'bitmap.emf': emf([(81, stretch), (37, struct.pack('<I', 0x80000004)), (76, ints(0, 0, 0, 0, 0, 0, 20, 20, 0x00F00021, 0, 0) + b'\0' * 48)]),
}

root = sys.argv[1]
for folder, files in (('wmf', WMF), ('emf', EMF)):
    os.makedirs(os.path.join(root, folder), exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(root, folder, name), 'wb') as f:
            f.write(data)
