#!/usr/bin/python3
"""Builds the small fonts the subsetter's tests need, with fontTools.

    make_test_fonts.py OUTDIR short|collection...

short:      OUTDIR/short.ttf, three glyphs with short loca entries: ".notdef" (a box), "A" (a
            triangle) and "B", a composite of A, .notdef and A in that order; a post table of
            version 2.0 (italic angle -12.5, underline -150/60, fixed pitch); and a name table
            whose first full-name record (platform 3, encoding 1) is Japanese, the second English.
collection: OUTDIR/two-faces.ttc, Liberation Sans and Liberation Sans Bold as one collection.
"""
import os
import struct
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent
from fontTools.ttLib.ttCollection import TTCollection

LIBERATION = "/usr/share/fonts/truetype/liberation2/LiberationSans-%s.ttf"


def polygon(points):
    pen = TTGlyphPen(None)
    pen.moveTo(points[0])
    for point in points[1:]:
        pen.lineTo(point)
    pen.closePath()
    return pen.glyph()


def composite(parts):
    glyph = Glyph()
    glyph.numberOfContours = -1
    glyph.components = []
    for name, x in parts:
        component = GlyphComponent()
        component.glyphName = name
        component.x, component.y = x, 0
        component.flags = 0
        glyph.components.append(component)
    return glyph


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def japanese_first(path):
    """fontTools sorts name records by language: the two full-name records of platform 3 swap
    their language, length and offset, so the Japanese one comes first in the file; the
    name table's checksum and head's checkSumAdjustment are made right again."""
    data = bytearray(open(path, "rb").read())
    tables = struct.unpack(">H", data[4:6])[0]
    places = {}
    for i in range(tables):
        tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        places[tag] = (12 + 16 * i, offset, length)
    record_at, offset, length = places[b"name"]
    count = struct.unpack(">H", data[offset + 2:offset + 4])[0]
    full = [offset + 6 + 12 * i for i in range(count)
            if struct.unpack(">HHHH", data[offset + 6 + 12 * i:offset + 14 + 12 * i])[0:2] == (3, 1)
            and struct.unpack(">H", data[offset + 12 + 12 * i:offset + 14 + 12 * i])[0] == 4]
    assert len(full) == 2
    first, second = full
    for field in (4, 8, 10):  # languageID, length, offset
        a = data[first + field:first + field + 2]
        data[first + field:first + field + 2] = data[second + field:second + field + 2]
        data[second + field:second + field + 2] = a
    struct.pack_into(">I", data, record_at + 4, checksum(bytes(data[offset:offset + length])))
    head_at = places[b"head"][1]
    struct.pack_into(">I", data, head_at + 8, 0)
    struct.pack_into(">I", data, places[b"head"][0] + 4, checksum(bytes(data[head_at:head_at + 54])))
    struct.pack_into(">I", data, head_at + 8, (0xB1B0AFBA - checksum(bytes(data))) & 0xFFFFFFFF)
    open(path, "wb").write(bytes(data))


def build_short(folder):
    builder = FontBuilder(1000, isTTF=True)
    builder.setupGlyphOrder([".notdef", "A", "B"])
    builder.setupCharacterMap({ord("A"): "A", ord("B"): "B"})
    glyphs = {
        ".notdef": polygon([(50, 0), (450, 0), (450, 700), (50, 700)]),
        "A": polygon([(0, 0), (300, 700), (600, 0)]),
        "B": composite([("A", 0), (".notdef", 100), ("A", 600)]),
    }
    builder.setupGlyf(glyphs)
    builder.setupHorizontalMetrics({".notdef": (500, 50), "A": (600, 0), "B": (1200, 0)})
    builder.setupHorizontalHeader(ascent=800, descent=-200)
    builder.setupNameTable({
        "familyName": {"en": "Short Test", "ja": "ショートテスト"},
        "styleName": "Regular",
        "fullName": {"en": "Short Test Regular", "ja": "ショートテスト 標準"},
    }, mac=False)
    builder.setupOS2(sTypoAscender=800, sTypoDescender=-200, usWinAscent=800, usWinDescent=200)
    builder.setupPost(keepGlyphNames=True, italicAngle=-12.5, underlinePosition=-150,
                      underlineThickness=60, isFixedPitch=1)
    builder.font["head"].indexToLocFormat = 0
    path = os.path.join(folder, "short.ttf")
    builder.save(path)
    japanese_first(path)


def build_collection(folder):
    collection = TTCollection()
    collection.fonts = [TTFont(LIBERATION % "Regular"), TTFont(LIBERATION % "Bold")]
    collection.save(os.path.join(folder, "two-faces.ttc"))


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    builders = {"short": build_short, "collection": build_collection}
    for name in argv[2:]:
        builders[name](argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
