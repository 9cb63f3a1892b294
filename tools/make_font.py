#!/usr/bin/env python3
"""Builds assets/font.png, the game's font strip, from a PCF bitmap font.

The strip is 720 x 16 RGBA: 90 cells of 8 x 16 pixels for the character codes 33 to
122 in order. Every pixel is white; alpha 255 marks ink, 0 the rest, so linear
filtering never darkens the glyph edges. Glyphs up to 16 rows high are placed with
their baseline at row FONT_BASELINE of the cell.

The committed strip was made from the public-domain misc-fixed 8x13 bold face as
Debian's xfonts-base package ships it:

    python3 tools/make_font.py /usr/share/fonts/X11/misc/8x13B.pcf.gz assets/font.png

Only the standard library is used; the game build never runs this tool.
"""

import gzip
import struct
import sys
import zlib

FIRST_CODE = 33
LAST_CODE = 122
CELL_WIDTH = 8
CELL_HEIGHT = 16
FONT_BASELINE = 12  # row of the cell just below the ascent

PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_BYTE_MSB = 1 << 2
PCF_BIT_MSB = 1 << 3
PCF_COMPRESSED_METRICS = 0x100


class Table:
    """One table of a PCF file with a cursor that honours the table's byte order."""

    def __init__(self, data, offset):
        self.data = data
        self.position = offset
        self.format = self._unpack("<i")
        self.order = ">" if self.format & PCF_BYTE_MSB else "<"

    def _unpack(self, code):
        value = struct.unpack_from(code, self.data, self.position)[0]
        self.position += struct.calcsize(code)
        return value

    def int32(self):
        return self._unpack(self.order + "i")

    def int16(self):
        return self._unpack(self.order + "h")

    def uint16(self):
        return self._unpack(self.order + "H")

    def byte(self):
        return self._unpack("B")


def read_tables(data):
    if data[:4] != b"\x01fcp":
        sys.exit("not a PCF font")
    (count,) = struct.unpack_from("<i", data, 4)
    tables = {}
    for index in range(count):
        kind, _, _, offset = struct.unpack_from("<iiii", data, 8 + index * 16)
        tables[kind] = offset
    return tables


def read_metrics(table):
    """(left bearing, right bearing, ascent, descent) of every glyph."""
    metrics = []
    if table.format & PCF_COMPRESSED_METRICS:
        for _ in range(table.int16()):
            lsb, rsb, _, ascent, descent = (table.byte() - 0x80 for _ in range(5))
            metrics.append((lsb, rsb, ascent, descent))
    else:
        for _ in range(table.int32()):
            lsb, rsb, _, ascent, descent = (table.int16() for _ in range(5))
            table.uint16()  # attributes
            metrics.append((lsb, rsb, ascent, descent))
    return metrics


def read_bitmaps(table, metrics):
    """Rows of ink (lists of booleans, left to right) of every glyph."""
    count = table.int32()
    offsets = [table.int32() for _ in range(count)]
    sizes = [table.int32() for _ in range(4)]
    pad = 1 << (table.format & 3)
    start = table.position
    data = table.data[start:start + sizes[table.format & 3]]
    msb_bit_first = bool(table.format & PCF_BIT_MSB)
    glyphs = []
    for index, (lsb, rsb, ascent, descent) in enumerate(metrics):
        width = rsb - lsb
        row_bytes = (width + 7) // 8
        row_bytes = (row_bytes + pad - 1) // pad * pad
        rows = []
        position = offsets[index]
        for _ in range(ascent + descent):
            row = []
            for column in range(width):
                value = data[position + column // 8]
                bit = 7 - column % 8 if msb_bit_first else column % 8
                row.append(bool(value >> bit & 1))
            rows.append(row)
            position += row_bytes
        glyphs.append(rows)
    return glyphs


def read_encoding(table):
    """Glyph index of every character code of the first 256 (0xFFFF: no glyph)."""
    first = table.int16()
    last = table.int16()
    first_byte1 = table.int16()
    last_byte1 = table.int16()
    table.int16()  # default character
    columns = last - first + 1
    count = columns * (last_byte1 - first_byte1 + 1)
    indices = [table.uint16() for _ in range(count)]
    if first_byte1 != 0:
        return {}
    return {code: indices[code - first] for code in range(first, min(last + 1, 256))}


def load_font(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as stream:
        data = stream.read()
    tables = read_tables(data)
    metrics = read_metrics(Table(data, tables[PCF_METRICS]))
    glyphs = read_bitmaps(Table(data, tables[PCF_BITMAPS]), metrics)
    encoding = read_encoding(Table(data, tables[PCF_BDF_ENCODINGS]))
    return metrics, glyphs, encoding


def render_strip(metrics, glyphs, encoding):
    width = (LAST_CODE - FIRST_CODE + 1) * CELL_WIDTH
    alpha = [[0] * width for _ in range(CELL_HEIGHT)]
    for code in range(FIRST_CODE, LAST_CODE + 1):
        index = encoding.get(code, 0xFFFF)
        if index == 0xFFFF:
            sys.exit("the font has no glyph for code %d" % code)
        lsb, _, ascent, _ = metrics[index]
        cell_left = (code - FIRST_CODE) * CELL_WIDTH
        for row_index, row in enumerate(glyphs[index]):
            y = FONT_BASELINE - ascent + row_index
            for column, ink in enumerate(row):
                x = lsb + column
                if not ink:
                    continue
                if not (0 <= x < CELL_WIDTH and 0 <= y < CELL_HEIGHT):
                    sys.exit("glyph %d does not fit its cell" % code)
                alpha[y][cell_left + x] = 255
    return width, alpha


def png_chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))


def encode_png(width, alpha):
    raw = bytearray()
    for row in alpha:
        raw.append(0)  # no filter
        for value in row:
            raw += bytes((255, 255, 255, value))
    header = struct.pack(">IIBBBBB", width, len(alpha), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def main(arguments):
    if len(arguments) != 3:
        sys.exit("usage: make_font.py FONT.pcf[.gz] OUTPUT.png")
    width, alpha = render_strip(*load_font(arguments[1]))
    with open(arguments[2], "wb") as output:
        output.write(encode_png(width, alpha))


if __name__ == "__main__":
    main(sys.argv)
