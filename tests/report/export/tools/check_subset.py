#!/usr/bin/python3
"""Checks a font subset against the font it was made from, independently of the subsetter.

    check_subset.py FONT SUBSET TEXT [--index N]

FONT is a TrueType font or collection (N: the face, default 0), SUBSET the standalone font made
from it for TEXT. The subset must decode table by table with every checksum right, its
big-endian words must add up to 0xB1B0AFBA, and every glyph TEXT maps to in FONT, with all the
components of composites however deep, and glyph 0, must keep its outline bytes under the same
glyph identifier. Prints "subset ok: ..." and exits 0, or prints what is wrong and exits 1.
"""
import struct
import sys

from fontTools.ttLib import TTFont


def fail(message):
    print("subset wrong: " + message)
    sys.exit(1)


def raw_glyphs(font):
    """The outline bytes of every glyph identifier, straight from loca and glyf."""
    data = font.reader["glyf"]
    locations = font["loca"].locations
    return [bytes(data[locations[i]:locations[i + 1]]) for i in range(len(locations) - 1)]


def closure(font, glyph_ids):
    """The glyphs and every component of composites, however deep."""
    order = font.getGlyphOrder()
    glyf = font["glyf"]
    seen = set()
    pending = list(glyph_ids)
    while pending:
        gid = pending.pop()
        if gid in seen:
            continue
        seen.add(gid)
        glyph = glyf[order[gid]]
        if glyph.isComposite():
            pending.extend(font.getGlyphID(component.glyphName) for component in glyph.components)
    return seen


def main(argv):
    args = list(argv[1:])
    index = 0
    if "--index" in args:
        at = args.index("--index")
        index = int(args[at + 1])
        del args[at:at + 2]
    if len(args) != 3:
        print(__doc__)
        return 2
    font_path, subset_path, text = args

    with open(subset_path, "rb") as f:
        subset_bytes = f.read()
    padded = subset_bytes + b"\0" * (-len(subset_bytes) % 4)
    total = sum(struct.unpack(">%dI" % (len(padded) // 4), padded)) & 0xFFFFFFFF
    if total != 0xB1B0AFBA:
        fail("the file's words add up to 0x%08X, not 0xB1B0AFBA" % total)

    try:
        subset = TTFont(subset_path, checkChecksums=2, lazy=False)
        for tag in subset.keys():
            subset[tag]
    except Exception as error:  # any failure to decode is the finding
        fail("does not decode: %s" % error)

    original = TTFont(font_path, fontNumber=index)
    cmap = original.getBestCmap()
    wanted = {0}
    for character in text:
        name = cmap.get(ord(character))
        if name is not None:
            wanted.add(original.getGlyphID(name))
    needed = closure(original, wanted)

    before = raw_glyphs(original)
    after = raw_glyphs(subset)
    if len(after) != len(before):
        fail("%d glyph identifiers, not %d" % (len(after), len(before)))
    for gid in sorted(needed):
        if after[gid] != before[gid]:
            fail("glyph %d (%s) lost its outline" % (gid, original.getGlyphOrder()[gid]))
    kept = sum(1 for outline in after if outline)
    print("subset ok: %d glyphs needed, %d with outlines, %d bytes" % (len(needed), kept, len(subset_bytes)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
