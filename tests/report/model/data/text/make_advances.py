#!/usr/bin/python3
# Regenerates advances.txt: the width of each string of the table below at 10 points on a
# 600-dpi canvas (pixel size 83), summed from the fonts' own horizontal metrics
# (hmtx advance x pixel size / units per em). An independent reference for the layout's
# measurement; needs the Debian package python3-fonttools.
#   tests/report/model/data/text/make_advances.py > tests/report/model/data/text/advances.txt

from fontTools.ttLib import TTFont

PIXEL_SIZE = 83  # nearest(10 x 600 / 72)

FONTS = [
    ("Arial", "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"),
    ("Arial bold", "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"),
    ("DejaVu Sans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
]

STRINGS = [
    "Hello, World",
    "The quick brown fox jumps over the lazy dog",
    "0123456789",
    "Теплосчётчик",
    "Съешь же ещё этих мягких французских булок",
    "ЁЖИК в тумане",
    "Расход 12,5 мᶾ/ч",
    "iiiiiWWWWW",
]

print("# font\tstring\twidth at 600 dpi (pixels)")
for label, path in FONTS:
    font = TTFont(path)
    units_per_em = font["head"].unitsPerEm
    cmap = font.getBestCmap()
    metrics = font["hmtx"].metrics
    for text in STRINGS:
        total = sum(metrics[cmap[ord(c)]][0] for c in text)
        print(f"{label}\t{text}\t{total * PIXEL_SIZE / units_per_em:.6f}")
