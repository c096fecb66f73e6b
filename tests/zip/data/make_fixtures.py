#!/usr/bin/env python3
"""Writes names.zip: entry names as other tools store them.

Each entry's content is the name a reader must give it, in UTF-8, so the test can
check every entry without a table of its own. Run from this folder.
"""
import zipfile


class RawInfo(zipfile.ZipInfo):
    """A ZipInfo whose name bytes and UTF-8 flag are given as they are to be stored."""

    def __init__(self, raw, flagged):
        super().__init__(raw.decode("latin-1"), date_time=(2020, 5, 17, 10, 30, 0))
        self.raw, self.flagged = raw, flagged
        self.compress_type = zipfile.ZIP_DEFLATED

    def _encodeFilenameFlags(self):
        return self.raw, self.flag_bits | (0x800 if self.flagged else 0)


ENTRIES = [
    # Windows tools: the ANSI code page, no flag.
    ("Coração ç.png", "cp1252", False),
    ("Preço €10 – ü.txt", "cp1252", False),
    # Unix tools: UTF-8 bytes, often without the flag.
    ("Pão de açúcar.txt", "utf-8", False),
    # Flagged UTF-8, including characters outside Windows-1252.
    ("日本 ção.png", "utf-8", True),
]

with zipfile.ZipFile("names.zip", "w") as archive:
    for name, encoding, flagged in ENTRIES:
        archive.writestr(RawInfo(name.encode(encoding), flagged), name.encode("utf-8"))
