#!/usr/bin/env python3
"""Writes the shipped templates' sources from the design table in designs.py.

For every template it writes a folder with the two record files exactly as the program saves
them ("project.txt" and "item.txt": Windows-1252, CR LF) and "pictures.txt", the shipped
pictures the build packs with them. It also writes the template catalogue "modelos.txt" and
the list the build reads, "list.cmake". The records are the sources the build uses; this
script is how they were made. Run it after changing a design:

    python3 make_templates.py --measure BUILD/bin/quadrela-tplhelper

Texts are measured with the program's own text renderer (the helper's "measure" verb), so a
text block placed by its centre or its right edge lands where the design says, and a text
that would leave its page, or its half of a folded card, stops the script.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # nothing but sources in this folder

import designs  # noqa: E402
from designs import FULL, FOLDED, CARD  # noqa: E402

PAGE_SIZE = {FULL: (496, 702), FOLDED: (541, 382), CARD: (380, 217)}
# The halves of a folded card: the front up to the fold, the inside after it.
FRONT = (0, 270)
INSIDE = (271, 541)
# The text renderer leaves this many white pixels right of the widest line.
TEXT_MARGIN = 15
# Room a text keeps from the sides of a page, or half, that a border frames.
BORDER_MARGIN = {FULL: 40, FOLDED: 20, CARD: 4}

COLOUR_INDEX = {
    "preto": 1, "marrom": 2, "verde": 3, "oliva": 4, "marinho": 5, "roxo": 6,
    "petroleo": 7, "cinza": 8, "prata": 9, "vermelho": 10, "lima": 11, "amarelo": 12,
    "azul": 13, "fucsia": 14, "agua": 15,
}
ALIGNMENT_CODE = {"esquerda": 1, "centro": 2, "direita": 3}
# Style codes of the record file, and the style bits the renderer takes.
STYLE_CODE = {"normal": 0, "italico": 1, "negrito": 2, "negrito-italico": 3}
STYLE_BITS = {0: 0, 1: 2, 2: 1, 3: 3}


def shipped_pictures():
    """File names relative to the data folder, by drawing name: cliparts and borders."""
    pictures = {}
    art = os.path.join(os.path.dirname(HERE))
    with open(os.path.join(art, "cliparts", "list.cmake"), encoding="utf-8") as f:
        for name, ext in re.findall(r'^\s*"([\w-]+) (png|jpg|bmp) ', f.read(), re.M):
            pictures[name] = "cliparts/%s.%s" % (name, ext)
    with open(os.path.join(art, "borders", "list.cmake"), encoding="utf-8") as f:
        for name in re.findall(r'^\s*"([\w-]+) \d', f.read(), re.M):
            pictures[name] = "bordas/%s.png" % name
    return pictures


def measure_all(tool, texts):
    """Picture sizes of the text blocks, from the program's own renderer."""
    lines = []
    for t in texts:
        for field in (t.font, t.text):
            if "\t" in field:
                raise SystemExit("tab in text %r" % t.text)
        lines.append("%s\t%d\t%d\t%s" % (t.font, t.size, STYLE_BITS[STYLE_CODE[t.style]],
                                         t.text.replace("\n", "\\n")))
    result = subprocess.run([tool, "measure"], input="\n".join(lines) + "\n",
                            capture_output=True, text=True, encoding="utf-8",
                            env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    if result.returncode != 0:
        raise SystemExit("measuring failed: " + result.stderr)
    sizes = [tuple(int(v) for v in line.split()) for line in result.stdout.splitlines()]
    if len(sizes) != len(texts):
        raise SystemExit("measuring gave %d sizes for %d texts" % (len(sizes), len(texts)))
    return sizes


def region_of(template, left):
    width, height = PAGE_SIZE[template.layout]
    if template.layout == FOLDED:
        return FRONT if left < FRONT[1] else INSIDE
    return (0, width)


def place(template, pictures):
    """Resolves every item to (kind code, file name, left, top, width, height, text item)."""
    page_w, page_h = PAGE_SIZE[template.layout]
    placed = []
    bottom = 0  # lower edge of the item before, for texts placed below it
    for item in template.items:
        if isinstance(item, designs.Border):
            if item.name not in pictures:
                raise SystemExit("%s: unknown border %s" % (template.name, item.name))
            if template.layout == FOLDED:
                left = 270 if item.inside else 0
                geometry = (left, 0, 270, page_h)
            else:
                geometry = (0, 0, page_w, page_h)
            placed.append((1, item.name, geometry, None))
        elif isinstance(item, designs.Picture):
            if item.name not in pictures:
                raise SystemExit("%s: unknown clipart %s" % (template.name, item.name))
            w, h = item.w, item.h
            left = item.cx - w // 2
            geometry = (left, item.y, w, h)
            placed.append((2, item.name, geometry, None))
            bottom = item.y + h
        else:
            w, h = item.measured
            ink = w - TEXT_MARGIN
            if item.cx is not None:
                left = item.cx - ink // 2
            elif item.right is not None:
                left = item.right - ink
            else:
                left = item.x
            top = item.y if item.y is not None else bottom + item.below
            geometry = (left, top, w, h)
            placed.append((3, "", geometry, item))
            bottom = top + h
        check_inside(template, placed)
    return placed


def check_inside(template, placed):
    """Stops at an item that leaves its page or half, or a text that runs into a border."""
    kind, name, (left, top, w, h), text = placed[-1]
    page_w, page_h = PAGE_SIZE[template.layout]
    if kind == 1:
        return
    lo, hi = region_of(template, left)
    ink_right = left + w - (TEXT_MARGIN if kind == 3 else 0)
    margin = 4
    framed = any(k == 1 and region_of(template, g[0] + 1) == (lo, hi) for k, _, g, _ in placed)
    if kind == 3 and framed:
        margin = BORDER_MARGIN[template.layout]
    what = repr(text.text) if text else name
    if left < lo + margin or ink_right > hi - margin or top < 4 or top + h > page_h - 4:
        raise SystemExit("%s: %s at %d,%d %dx%d leaves its page or half (%d..%d x %d)"
                         % (template.name, what, left, top, w, h, lo, hi, page_h))


def record_lines(number, kind, file_name, geometry, text):
    left, top, w, h = geometry
    if text is None:
        attributes = ["", "1", "1", "0", "0", "#T##/T#"]
    else:
        attributes = [text.font, str(COLOUR_INDEX[text.colour]), str(ALIGNMENT_CODE[text.align]),
                      str(STYLE_CODE[text.style]), str(text.size),
                      "#T#" + text.text.replace("\n", "\r\n") + "#/T#"]
    return ["[%d]" % number, str(kind), file_name, str(left), str(top), str(w), str(h)] + attributes


def crlf_bytes(lines):
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def write_template(out, template, placed, pictures):
    folder = os.path.join(out, template.name)
    os.makedirs(folder, exist_ok=True)
    layout_code = template.layout
    project = ["####vimel", "[ItemCount]", str(len(placed)), "[Impressao]", str(layout_code)]
    records = []
    used = []
    for number, (kind, name, geometry, text) in enumerate(placed):
        file_name = ""
        if kind != 3:
            file_name = os.path.basename(pictures[name])
            if pictures[name] not in used:
                used.append(pictures[name])
        records += record_lines(number, kind, file_name, geometry, text)
    with open(os.path.join(folder, "project.txt"), "wb") as f:
        f.write(crlf_bytes(project))
    with open(os.path.join(folder, "item.txt"), "wb") as f:
        f.write(crlf_bytes(records) if records else b"")
    with open(os.path.join(folder, "pictures.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(p + "\n" for p in used))


def write_catalogue(out):
    lines = []
    for category in designs.CATEGORIES:
        count = len([t for t in designs.TEMPLATES if t.prefix == category.prefix and t.number > 0])
        lines += ["[%s]" % category.key, str(category.layout), category.prefix, str(count)]
    with open(os.path.join(out, "modelos.txt"), "wb") as f:
        f.write(crlf_bytes(lines))


def write_list(out):
    models = [t.name for t in designs.TEMPLATES if t.number > 0]
    covers = [t.name for t in designs.TEMPLATES if t.number == 0]
    with open(os.path.join(out, "list.cmake"), "w", encoding="utf-8", newline="\n") as f:
        f.write("# Written by make_templates.py from designs.py: the template folders the build\n"
                "# packs into dados/modelos/, and the category covers, whose archives are only\n"
                "# rendered for their previews.\n")
        for variable, names in (("QUADRELA_TEMPLATES", models),
                                ("QUADRELA_TEMPLATE_COVERS", covers)):
            f.write("set(%s\n" % variable)
            f.writelines("    %s\n" % n for n in names)
            f.write(")\n")


def check_table():
    keys = [c.key for c in designs.CATEGORIES]
    expected = ["C%d" % i for i in range(17)] + ["E%d" % i for i in range(8)]
    if keys != expected:
        raise SystemExit("categories out of order: %s" % keys)
    for category in designs.CATEGORIES:
        mine = sorted(t.number for t in designs.TEMPLATES if t.prefix == category.prefix)
        models = [n for n in mine if n > 0]
        if models != list(range(1, len(models) + 1)) or len(models) < 2:
            raise SystemExit("%s: models %s" % (category.prefix, mine))
        for t in designs.TEMPLATES:
            if t.prefix == category.prefix and t.layout != category.layout:
                raise SystemExit("%s: layout differs from its category" % t.name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--measure", required=True, help="path of quadrela-tplhelper")
    args = parser.parse_args()

    check_table()
    pictures = shipped_pictures()
    texts = [item for t in designs.TEMPLATES for item in t.items if isinstance(item, designs.Text)]
    for text, size in zip(texts, measure_all(args.measure, texts)):
        text.measured = size

    for entry in os.listdir(HERE):
        if os.path.isfile(os.path.join(HERE, entry, "item.txt")):
            shutil.rmtree(os.path.join(HERE, entry))
    for template in designs.TEMPLATES:
        write_template(HERE, template, place(template, pictures), pictures)
    write_catalogue(HERE)
    write_list(HERE)


if __name__ == "__main__":
    main()
