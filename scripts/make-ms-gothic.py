#!/usr/bin/python3
"""Writes a copy of a Gothic font whose family is named like the Gothic face of a Japanese
Windows ("MS Gothic", in Japanese "ＭＳ ゴシック"), for the Wine test bench only.

Wine's font substitutes serve CreateFont, but a program that first enumerates the face by
name (EnumFontFamiliesEx) finds nothing under a substituted or replaced name; a real family
of that name is what a Japanese Windows has, so the bench gets one.
usage: make-ms-gothic.py SOURCE.ttf DEST.ttf
"""
import logging
import sys
from fontTools.ttLib import TTFont

# Some source fonts carry a zero creation time in their header; fontTools warns about it.
logging.getLogger("fontTools").setLevel(logging.ERROR)

src, dst = sys.argv[1], sys.argv[2]
font = TTFont(src)
names = font["name"]
english, japanese = "MS Gothic", "\uff2d\uff33 \u30b4\u30b7\u30c3\u30af"
for record in list(names.names):
    if record.nameID in (1, 3, 4, 6, 16, 17, 18):
        names.removeNames(nameID=record.nameID)
for name_id, value in ((1, english), (2, "Regular"), (3, english + " Regular"), (4, english),
                       (6, "MS-Gothic")):
    names.setName(value, name_id, 3, 1, 0x409)
    names.setName(value, name_id, 1, 0, 0)
names.setName(japanese, 1, 3, 1, 0x411)
names.setName(japanese, 4, 3, 1, 0x411)
font.save(dst)
