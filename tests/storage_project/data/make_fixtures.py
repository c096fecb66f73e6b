#!/usr/bin/env python3
"""Writes project archives as other tools make them, for the project tests.

Each archive is built with Python's zipfile, not with the program: line ends other
than CR LF, Windows paths in the records, entry names in the Windows code page,
entries under folders and entries that no record uses. Run from this folder.
"""
import struct
import zipfile
import zlib


def png(width, height, rgb):
    """A plain 8-bit RGB PNG filled with one colour."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    row = b"\x00" + bytes(rgb) * width
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(row * height))
            + chunk(b"IEND", b""))


class RawInfo(zipfile.ZipInfo):
    """An entry whose name bytes are stored as given, without the UTF-8 flag."""

    def __init__(self, raw):
        super().__init__(raw.decode("latin-1"), date_time=(2021, 3, 4, 12, 0, 0))
        self.raw = raw
        self.compress_type = zipfile.ZIP_DEFLATED

    def _encodeFilenameFlags(self):
        return self.raw, self.flag_bits & ~0x800


def record(number, kind, file_name, left, top, width, height, font="", color=1,
           alignment=1, style=0, size=0, text=""):
    return [f"[{number}]", str(kind), file_name, str(left), str(top), str(width),
            str(height), font, str(color), str(alignment), str(style), str(size),
            f"#T#{text}#/T#"]


def text_file(lines, end):
    return end.join(lines).encode("cp1252") + end.encode("ascii")


def project(count, layout_code):
    return ["####vimel", "[ItemCount]", str(count), "[Impressao]", str(layout_code)]


def write(name, entries):
    with zipfile.ZipFile(name, "w") as archive:
        for entry_name, data in entries:
            if isinstance(entry_name, bytes):
                archive.writestr(RawInfo(entry_name), data)
            else:
                info = zipfile.ZipInfo(entry_name, date_time=(2021, 3, 4, 12, 0, 0))
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data)


# One picture item saved on Windows and one two-line text item, with each kind of
# line end. The text's own line break uses the file's line end as well.
for suffix, end in (("crlf", "\r\n"), ("lf", "\n"), ("cr", "\r")):
    items = (record(0, 2, "C:\\Users\\ana\\foto.png", 30, 40, 60, 50)
             + record(1, 3, "", -15, 200, 100, 100, "Arial", 10, 2, 3, 14,
                      f"Olá, José{end}Feliz Natal"))
    write(f"line_ends_{suffix}.vimel", [
        ("project.txt", text_file(project(2, 1), end)),
        ("item.txt", text_file(items, end)),
        ("foto.png", png(40, 30, (255, 0, 0))),
    ])

# Entry names in the Windows code page, a picture under a folder, leftovers.
items = (record(0, 1, "C:\\Program Files\\Cartoes\\dados\\bordas\\Moldura Ão.png",
                0, 0, 270, 382)
         + record(1, 2, "C:\\Users\\ana\\Coração.png", 10, 20, 44, 33)
         + record(2, 2, "D:\\fotos\\praia.png", 300, 100, 80, 60))
write("windows_names.vimel", [
    (b"project.txt", text_file(project(3, 2), "\r\n")),
    (b"item.txt", text_file(items, "\r\n")),
    ("Moldura Ão.png".encode("cp1252"), png(27, 38, (0, 0, 255))),
    ("Coração.png".encode("cp1252"), png(22, 11, (0, 128, 0))),
    ("fotos/praia.png", png(16, 12, (255, 255, 0))),
    ("sobra.png", png(5, 5, (0, 0, 0))),
    ("antigo/notas.txt", b"nada"),
])

# A "project.txt" whose magic is not on its first line.
write("magic_later.vimel", [
    ("project.txt", text_file(["Quadrela"] + project(0, 3), "\r\n")),
    ("item.txt", b""),
])
