#!/usr/bin/python3
"""Prints what fontTools reads from a font, one "key value" line each, for the table readers'
tests to compare with their own reading of the same file.

    font_facts.py FONT [--index N] [CODE...]

CODE: characters as hexadecimal code points. For each: "cmap.CODE GLYPH" (the glyph of the
Windows Unicode character map, 0 when absent) and, for a composite glyph,
"components.CODE GLYPH..." with its components' glyphs in file order and
"componentnames.CODE NAME..." with their names.
"""
import sys

from fontTools.ttLib import TTFont


def main(argv):
    args = list(argv[1:])
    index = 0
    if "--index" in args:
        at = args.index("--index")
        index = int(args[at + 1])
        del args[at:at + 2]
    font = TTFont(args[0], fontNumber=index)
    codes = [int(code, 16) for code in args[1:]]
    out = []

    head = font["head"]
    for field in ("magicNumber", "flags", "unitsPerEm", "created", "modified", "xMin", "yMin", "xMax", "yMax",
                  "macStyle", "lowestRecPPEM", "fontDirectionHint", "indexToLocFormat", "glyphDataFormat"):
        out.append(("head." + field, getattr(head, field)))
    out.append(("head.fontRevision", round(head.fontRevision * 65536)))

    hhea = font["hhea"]
    for field in ("ascent", "descent", "lineGap", "advanceWidthMax", "minLeftSideBearing", "minRightSideBearing",
                  "xMaxExtent", "caretSlopeRise", "caretSlopeRun", "caretOffset", "metricDataFormat",
                  "numberOfHMetrics"):
        out.append(("hhea." + field, getattr(hhea, field)))

    maxp = font["maxp"]
    for field in ("numGlyphs", "maxPoints", "maxContours", "maxCompositePoints", "maxCompositeContours", "maxZones",
                  "maxTwilightPoints", "maxStorage", "maxFunctionDefs", "maxInstructionDefs", "maxStackElements",
                  "maxSizeOfInstructions", "maxComponentElements", "maxComponentDepth"):
        out.append(("maxp." + field, getattr(maxp, field)))

    post = font["post"]
    out.append(("post.version", round(post.formatType * 65536)))
    out.append(("post.italicAngle", round(post.italicAngle * 65536)))
    for field in ("underlinePosition", "underlineThickness", "isFixedPitch"):
        out.append(("post." + field, getattr(post, field)))

    os2 = font["OS/2"]
    fields = ["version", "xAvgCharWidth", "usWeightClass", "usWidthClass", "fsType", "ySubscriptXSize",
              "ySubscriptYSize", "ySubscriptXOffset", "ySubscriptYOffset", "ySuperscriptXSize", "ySuperscriptYSize",
              "ySuperscriptXOffset", "ySuperscriptYOffset", "yStrikeoutSize", "yStrikeoutPosition", "sFamilyClass",
              "ulUnicodeRange1", "ulUnicodeRange2", "ulUnicodeRange3", "ulUnicodeRange4", "fsSelection",
              "usFirstCharIndex", "usLastCharIndex", "sTypoAscender", "sTypoDescender", "sTypoLineGap",
              "usWinAscent", "usWinDescent"]
    if os2.version >= 1:
        fields += ["ulCodePageRange1", "ulCodePageRange2"]
    if os2.version >= 2:
        fields += ["sxHeight", "sCapHeight", "usDefaultChar", "usBreakChar", "usMaxContext"]
    for field in fields:
        out.append(("OS/2." + field, getattr(os2, field)))
    panose = os2.panose
    out.append(("OS/2.panose", " ".join(str(getattr(panose, name)) for name in (
        "bFamilyType", "bSerifStyle", "bWeight", "bProportion", "bContrast", "bStrokeVariation", "bArmStyle",
        "bLetterForm", "bMidline", "bXHeight"))))
    out.append(("OS/2.achVendID", os2.achVendID))
    out.append(("OS/2.length", len(font.reader["OS/2"])))

    for name_id in (1, 4):
        for record in font["name"].names:
            if record.nameID == name_id and (record.platformID == 0 or (record.platformID, record.platEncID) == (3, 1)):
                out.append(("name.%d" % name_id, record.toUnicode()))
                break

    order = font.getGlyphOrder()
    metrics = font["hmtx"].metrics
    for gid in (0, 1, 2, hhea.numberOfHMetrics - 1):
        advance, lsb = metrics[order[gid]]
        out.append(("hmtx.%d" % gid, "%d %d" % (advance, lsb)))

    windows = font["cmap"].getcmap(3, 1)
    glyf = font["glyf"]
    for code in codes:
        name = windows.cmap.get(code) if windows else None
        gid = font.getGlyphID(name) if name else 0
        out.append(("cmap.%04X" % code, gid))
        if name and glyf[name].isComposite():
            components = [c.glyphName for c in glyf[name].components]
            out.append(("components.%04X" % code, " ".join(str(font.getGlyphID(c)) for c in components)))
            out.append(("componentnames.%04X" % code, " ".join(components)))

    for key, value in out:
        sys.stdout.buffer.write(("%s %s\n" % (key, value)).encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
