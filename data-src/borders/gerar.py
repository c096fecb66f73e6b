#!/usr/bin/env python3
"""Writes the border drawings (*.svg beside this script) and the border list "bordas.txt".

Each border is drawn in page pixels of the page it is made for: a full page is 496 × 702, the
front or inside of a folded card 270 × 382, a business card 380 × 217. The centre stays empty
(transparent) so the page shows through. The list order is the file-name order, which the
number prefix fixes. Run it after changing a border: python3 gerar.py
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))

from svgkit import *  # noqa: E402,F403

FULL = (496, 702)
HALF = (270, 382)
CARD = (380, 217)
LW = 1.3  # motif outline in page pixels

BORDERS = []


def border(name, title, size):
    def register(fn):
        BORDERS.append((name, title, size, fn))
        return fn
    return register


def side_points(x0, y0, x1, y1, step, with_ends=False):
    """Evenly spaced points from (x0, y0) to (x1, y1), about `step` apart."""
    length = math.hypot(x1 - x0, y1 - y0)
    n = max(1, round(length / step))
    rng = range(0, n + 1) if with_ends else range(1, n)
    return [(x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n) for i in rng]


def around(w, h, inset, step):
    """Points along the four sides at `inset`, corners left out, with the side's angle."""
    x0, y0, x1, y1 = inset, inset, w - inset, h - inset
    out = []
    for (ax, ay, bx, by, angle) in [(x0, y0, x1, y0, 0), (x1, y0, x1, y1, 90),
                                    (x1, y1, x0, y1, 180), (x0, y1, x0, y0, 270)]:
        out += [(x, y, angle) for x, y in side_points(ax, ay, bx, by, step)]
    return out


def corners(w, h, inset):
    """The four corners with the rotation that turns a top-left motif into place."""
    return [(inset, inset, 0), (w - inset, inset, 90), (w - inset, h - inset, 180),
            (inset, h - inset, 270)]


def at(body, x, y, angle=0, scale=1):
    return group(body, f"translate({f(x)},{f(y)}) rotate({f(angle)}) scale({f(scale)})")


def frame(w, h, inset, color, width, rx=0, extra=""):
    return rect(inset, inset, w - 2 * inset, h - 2 * inset, "none", rx=rx, width=width,
                color=color, extra=extra)


# --- motifs, drawn around (0, 0) -----------------------------------------------------------

def holly(size=1.0):
    g = shape(leaf(0, 0, -14, -7, 0.32), MINT_D, LW)
    g += shape(leaf(0, 0, 14, -7, 0.32), MINT, LW)
    g += circle(-3, 1, 3, CORAL, LW * 0.8) + circle(3, 1, 3, CORAL, LW * 0.8) + circle(0, -3.5, 3, CORAL_D, LW * 0.8)
    return group(g, f"scale({f(size)})")


def small_flower(petal, centre, r=8):
    g = ""
    for i in range(5):
        g += group(ellipse(0, -r * 0.6, r * 0.42, r * 0.6, petal, LW * 0.8), f"rotate({i * 72})")
    g += circle(0, 0, r * 0.35, centre, LW * 0.8)
    return g


def balloon(color, dark, s=1.0):
    g = line("M0,16 C-3,24 3,30 0,38", INK, 0.8)
    g += shape("M0,14 C-14,8 -12,-16 0,-16 C12,-16 14,8 0,14 Z", color, LW)
    g += fillonly("M2,12 C10,6 10,-8 5,-13 C11,-6 10,6 2,12 Z", dark, 'fill-opacity="0.6"')
    g += shine("M-7,-6 C-7,-11 -3,-14 1,-14 C-3,-12 -5,-9 -6,-5 Z", 0.7)
    g += shape("M0,13.5 L-2.5,17 L2.5,17 Z", dark, 0.8)
    return group(g, f"scale({f(s)})")


def bat(s=1.0):
    d = ("M0,2 C-4,-3 -12,-6 -22,-3 C-19,-1 -19,2 -19,4 C-16,2 -13,3 -12,6 C-10,4 -6,4 -4,7 "
         "C-2,6 -1,6 0,8 C1,6 2,6 4,7 C6,4 10,4 12,6 C13,3 16,2 19,4 C19,2 19,-1 22,-3 "
         "C12,-6 4,-3 0,2 Z")
    g = shape(d, PLUM_D, LW * 0.8)
    g += shape("M-3,-2 L-3.5,-7 L-1,-4 L1,-4 L3.5,-7 L3,-2 C3,3 1,6 0,7 C-1,6 -3,3 -3,-2 Z", PLUM_D, LW * 0.8)
    g += circle(-1.2, -1.5, 0.8, SUN, 0) + circle(1.2, -1.5, 0.8, SUN, 0)
    return group(g, f"scale({f(s)})")


def pumpkin(s=1.0):
    g = shape("M0,-12 C-14,-14 -20,-6 -20,2 C-20,12 -10,16 0,16 C10,16 20,12 20,2 C20,-6 14,-14 0,-12 Z",
              "#f08a3a", LW)
    g += fillonly("M0,-11 C-7,-11 -8,-4 -8,2 C-8,10 -5,15 0,15 C5,15 8,10 8,2 C8,-4 7,-11 0,-11 Z", "#f6a04e")
    g += line("M-8,-10 C-13,-2 -13,10 -6,15 M8,-10 C13,-2 13,10 6,15", "#c8642a", 0.9)
    g += shape("M-2,-12 C-2,-16 0,-19 3,-20 L5,-18 C3,-17 2,-15 2,-12 Z", MINT_D, LW * 0.8)
    g += fillonly("M-9,-1 L-4,-4 L-4,1 Z M9,-1 L4,-4 L4,1 Z M-9,6 C-4,11 4,11 9,6 L5,7 L3,5 L1,8 L-1,5 L-3,8 L-5,6 Z", INK)
    return group(g, f"scale({f(s)})")


def crayon(length, color, dark):
    """A crayon lying along +x from (0, 0), tip at the right."""
    g = shape(f"M0,-5 L{f(length - 12)},-5 L{f(length)},0 L{f(length - 12)},5 L0,5 Z", color, LW)
    g += fillonly(f"M{f(length - 12)},-5 L{f(length)},0 L{f(length - 12)},5 Z", dark)
    g += fillonly(f"M{f(length - 5)},-2 L{f(length)},0 L{f(length - 5)},2 Z", INK, 'fill-opacity="0.6"')
    g += fillonly(f"M6,-5 L14,-5 L14,5 L6,5 Z M{f(length - 26)},-5 L{f(length - 18)},-5 L{f(length - 18)},5 L{f(length - 26)},5 Z",
                  dark)
    g += shape(f"M0,-5 L{f(length - 12)},-5 L{f(length)},0 L{f(length - 12)},5 L0,5 Z", "none", LW)
    g += line(f"M2,-2.5 L{f(length - 16)},-2.5", WHITE, 0.8, 'stroke-opacity="0.5"')
    return g


def scroll(s=1.0, color=TEAL):
    """An S-shaped arabesque about 40 wide."""
    d = "M-20,6 C-20,-6 -6,-8 -2,0 C2,8 16,6 18,-4 C19,-10 12,-12 10,-7"
    g = line(d, color, 1.6)
    g += line("M-20,6 C-22,10 -16,14 -13,10", color, 1.6)
    g += circle(10, -7, 1.6, color, 0) + circle(-13, 10, 1.6, color, 0)
    g += group(shape(leaf(0, 0, 7, -5, 0.35), color, 0), "translate(-2,0)")
    return group(g, f"scale({f(s)})")


# --- the borders ---------------------------------------------------------------------------

@border("01-classica", "Clássica (página inteira)", FULL)
def classica(w, h):
    b = frame(w, h, 16, TEAL_D, 3.2)
    b += frame(w, h, 23, TEAL_D, 1)
    b += frame(w, h, 28, SUN_D, 0.8)
    for x, y, a in corners(w, h, 16):
        g = f'<path d="M12,0 A12,12 0 0 0 0,12" fill="none" stroke="{TEAL_D}" stroke-width="1"/>\n'
        g += rect(-5, -5, 10, 10, TEAL_D, width=0)
        g += rect(-2.5, -2.5, 5, 5, SUN, width=0)
        g += group(rect(14, 14, 5, 5, SUN_D, width=0), "rotate(45 16.5 16.5)")
        b += at(g, x, y, a)
    for x, y, a in [(w / 2, 16, 0), (w / 2, h - 16, 180)]:
        g = group(rect(-4, -4, 8, 8, WHITE, width=1, color=TEAL_D), "rotate(45)")
        g += line("M-28,4 C-18,4 -12,8 -6,10 M28,4 C18,4 12,8 6,10", TEAL_D, 1)
        b += at(g, x, y, a)
    return b


def guilloche_band(x0, x1, y, amp, waves, color, phases=6, width=0.5):
    out = ""
    for k in range(phases):
        ph = k * math.pi * 2 / phases
        pts_ = []
        n = int((x1 - x0) / 1.5)
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            t = (x - x0) / (x1 - x0) * waves * 2 * math.pi
            pts_.append((x, y + amp * math.sin(t + ph)))
        out += f'<polyline points="{pts(pts_)}" fill="none" stroke="{color}" stroke-width="{width}"/>\n'
    return out


def rosette(r, color, petals=12, loops=5):
    pts_ = []
    R, rr, d = r, r * 0.25, r * 0.55
    for i in range(721):
        t = i / 720 * 2 * math.pi * loops
        k = (R - rr) / rr
        x = (R - rr) * math.cos(t) + d * math.cos(k * t)
        y = (R - rr) * math.sin(t) - d * math.sin(k * t)
        pts_.append((x * 0.62, y * 0.62))
    return f'<polyline points="{pts(pts_)}" fill="none" stroke="{color}" stroke-width="0.45"/>\n'


@border("02-certificado", "Certificado (página inteira)", FULL)
def certificado(w, h):
    b = rect(12, 12, w - 24, h - 24, "none", width=1.4, color=TEAL_D)
    b += rect(46, 46, w - 92, h - 92, "none", width=1.4, color=TEAL_D)
    b += group(guilloche_band(30, w - 30, 0, 12, 22, TEAL), "translate(0,29)")
    b += group(guilloche_band(30, w - 30, 0, 12, 22, TEAL), f"translate(0,{h - 29})")
    # the side bands: the same wave laid along a vertical line
    side = guilloche_band(30, h - 30, 0, 12, 32, TEAL)
    b += group(side, "translate(29,0) rotate(90)")
    b += group(side, f"translate({w - 29},0) rotate(90)")
    b += group(guilloche_band(30, w - 30, 0, 5, 44, GOLD_D, 4, 0.35), "translate(0,29)")
    b += group(guilloche_band(30, w - 30, 0, 5, 44, GOLD_D, 4, 0.35), f"translate(0,{h - 29})")
    side2 = guilloche_band(30, h - 30, 0, 5, 64, GOLD_D, 4, 0.35)
    b += group(side2, "translate(29,0) rotate(90)") + group(side2, f"translate({w - 29},0) rotate(90)")
    for x, y, _ in corners(w, h, 29):
        g = circle(0, 0, 24, WHITE, 1.4, TEAL_D)
        for turn in (0, 30, 60):
            g += group(rosette(26, TEAL), f"rotate({turn})")
        g += circle(0, 0, 5, GOLD, 0.8, GOLD_D)
        b += at(g, x, y)
    b += rect(54, 54, w - 108, h - 108, "none", width=0.6, color=GOLD_D)
    return b


@border("03-casamento", "Casamento (página inteira)", FULL)
def casamento(w, h):
    defs = "<defs>" + linear_gradient("ouro-borda", [(0, GOLD_L), (0.5, GOLD), (1, GOLD_D)], 0, 0, 1, 1) + "</defs>\n"
    b = defs
    b += frame(w, h, 20, "url(#ouro-borda)", 2.4, rx=6)
    b += frame(w, h, 27, GOLD_D, 0.7, rx=4)
    for x, y, a in corners(w, h, 20):
        g = line("M8,40 C8,18 18,8 40,8", GOLD_D, 1.2)
        g += line("M14,60 C12,30 30,12 60,14 M22,34 C18,26 26,18 34,22", GOLD, 1.1)
        g += line("M60,14 C70,14 74,22 68,26 C64,28 60,24 62,20 M14,60 C14,70 22,74 26,68 C28,64 24,60 20,62",
                  GOLD, 1.1)
        g += shape(leaf(30, 30, 46, 40, 0.35), GOLD_L, 0.7, GOLD_D)
        g += shape(leaf(30, 30, 40, 46, 0.35), GOLD_L, 0.7, GOLD_D)
        g += circle(28, 28, 3.5, WHITE, 0.8, GOLD_D)
        b += at(g, x, y, a)
    for y, a in [(20, 0), (h - 20, 180)]:
        g = shape(heart(-6, 0, 14), WHITE, 1, GOLD_D) + shape(heart(6, 1, 14), WHITE, 1, GOLD_D)
        g += line("M-50,0 C-40,-6 -30,-6 -16,-2 M50,0 C40,-6 30,-6 16,-2", GOLD_D, 1)
        b += at(g, w / 2, y, a)
    return b


@border("04-flores", "Flores (página inteira)", FULL)
def flores(w, h):
    b = frame(w, h, 22, MINT_D, 1.6, rx=10)
    colours = [(PINK, SUN), (CORAL, SUN_L), (SUN, CORAL), (PLUM, SUN_L)]
    vine = ""
    for i, (x, y, a) in enumerate(around(w, h, 22, 34)):
        vine += at(shape(leaf(0, 0, 10, -8, 0.35), MINT, 0.8), x, y, a + (0 if i % 2 else 180))
    b += vine
    for i, (x, y, a) in enumerate(around(w, h, 22, 68)):
        p, c = colours[i % 4]
        b += at(small_flower(p, c, 7), x, y, i * 17)
    for x, y, a in corners(w, h, 22):
        g = at(shape(leaf(0, 0, 30, 6, 0.35), MINT, LW), 0, 0, 0)
        g += at(shape(leaf(0, 0, 6, 30, 0.35), MINT_D, LW), 0, 0, 0)
        g += at(small_flower(CORAL, SUN, 16), 0, 0, 10)
        g += at(small_flower(PINK, SUN_L, 9), 22, 20, 30)
        b += at(g, x, y, a)
    return b


@border("05-natal", "Natal (meia página)", HALF)
def natal(w, h):
    b = frame(w, h, 14, CORAL_D, 2.4, rx=6)
    b += frame(w, h, 18, MINT_D, 0.8, rx=4)
    for i, (x, y, a) in enumerate(around(w, h, 14, 30)):
        b += at(holly(0.8), x, y, a + (15 if i % 2 else -15))
    for x, y, a in corners(w, h, 20):
        g = shape("M0,0 C-14,-14 -24,-4 -16,4 C-10,10 -4,4 0,0 Z M0,0 C14,-14 24,-4 16,4 C10,10 4,4 0,0 Z", CORAL, LW)
        g += shape("M-2,2 L-10,18 L-5,16 L-3,21 L1,4 Z M2,2 L10,18 L5,16 L3,21 L-1,4 Z", CORAL_D, LW * 0.8)
        g += circle(0, 1, 4, CORAL_D, LW)
        # the bow hangs straight at the top corners and upside down at the bottom ones
        b += at(g, x, y, 0 if y < h / 2 else 180, 0.8)
    for x, y in [(44, 48), (w - 44, 48), (44, h - 48), (w - 44, h - 48)]:
        b += fillonly(star(x, y, 4, 1.2, 4), SUN_D)
    return b


@border("06-aniversario", "Aniversário (meia página)", HALF)
def aniversario(w, h):
    b = frame(w, h, 8, TEAL, 1.2, rx=6)
    # bunting along the top
    flags = ""
    colours = [CORAL, SUN, TEAL, MINT, PLUM]
    xs = [16 + i * 22 for i in range(11)]
    b += line("M10,20 Q135,40 260,20", INK, 0.8)
    for i, x in enumerate(xs):
        # hung from the string, which sags 10 at the middle
        y = 20 + 10 * (1 - ((x + 10 - 135) / 125) ** 2)
        flags += shape(f"M{f(x)},{f(y)} L{f(x + 20)},{f(y)} L{f(x + 10)},{f(y + 20)} Z", colours[i % 5], 0.9)
    b += flags
    for x, y, c, d, s, r in [(24, 110, CORAL, CORAL_D, 1.1, -10), (248, 104, SUN, SUN_D, 1.1, 10),
                             (20, 300, TEAL, TEAL_D, 0.9, -6), (250, 310, MINT, MINT_D, 0.9, 8)]:
        b += at(balloon(c, d, s), x, y, r)
    confetti = [(60, 360, CORAL, 20), (92, 370, TEAL, -30), (130, 362, SUN, 45), (170, 372, PLUM, -10),
                (206, 362, MINT, 60), (232, 370, CORAL, -40), (14, 200, SUN, 30), (256, 200, PLUM, -20),
                (16, 240, MINT, 70), (254, 250, CORAL, 10), (16, 160, PLUM, 0), (254, 160, TEAL, 50)]
    for x, y, c, r in confetti:
        b += at(rect(-4, -2, 8, 4, c, rx=1, width=0.6), x, y, r)
    for x, y, c in [(76, 352, SUN), (150, 352, CORAL), (190, 354, TEAL), (110, 376, MINT)]:
        b += circle(x, y, 2.6, c, 0.6)
    return b


@border("07-bruxas", "Dia das Bruxas (meia página)", HALF)
def bruxas(w, h):
    b = frame(w, h, 9, PLUM_D, 3, rx=4)
    b += frame(w, h, 14, "#f08a3a", 1, rx=3, extra='stroke-dasharray="6,4"')
    # a web in the top-left corner
    web = ""
    for a in range(0, 91, 18):
        web += f"M0,0 L{f(60 * math.cos(math.radians(a)))},{f(60 * math.sin(math.radians(a)))} "
    for r in (18, 34, 50):
        p = [(r * math.cos(math.radians(a)), r * math.sin(math.radians(a))) for a in range(0, 91, 18)]
        web += f"M{f(p[0][0])},{f(p[0][1])} " + " ".join(
            f"Q{f(r * 0.82 * math.cos(math.radians(a + 9)))},{f(r * 0.82 * math.sin(math.radians(a + 9)))} {f(px)},{f(py)}"
            for a, (px, py) in zip(range(0, 91, 18), p[1:])) + " "
    b += at(line(web, INK, 0.6), 9, 9)
    b += line("M232,9 L232,44", INK, 0.6)
    b += at(circle(0, 0, 4, INK, 0) + circle(0, -4, 2.6, INK, 0) +
            line("M-3,-1 L-8,-4 M-3,1 L-8,2 M-3,2 L-7,6 M3,-1 L8,-4 M3,1 L8,2 M3,2 L7,6", INK, 0.8), 232, 48)
    for x, y, s, r in [(90, 26, 0.8, -8), (150, 20, 0.6, 6), (250, 120, 0.7, 12), (20, 170, 0.65, -10),
                       (248, 240, 0.6, -6)]:
        b += at(bat(s), x, y, r)
    b += at(pumpkin(1.1), 34, h - 30)
    b += at(pumpkin(0.8), 64, h - 22)
    b += at(pumpkin(1.0), w - 36, h - 30)
    for x in (110, 140, 170, 200):
        b += fillonly(star(x, h - 18, 3.5, 1.4), SUN)
    return b


@border("08-infantil", "Infantil (página inteira)", FULL)
def infantil(w, h):
    b = ""
    colours = [(CORAL, CORAL_D), (SUN, SUN_D), (TEAL, TEAL_D), (MINT, MINT_D), (PLUM, PLUM_D), (PINK, PINK_D)]
    length = 76
    k = 0
    # crayons end to end along each side
    for y, flip in [(18, False), (h - 18, True)]:
        n = int((w - 80) // (length + 6))
        start = (w - n * (length + 6)) / 2
        for i in range(n):
            c, d = colours[k % 6]
            k += 1
            x = start + i * (length + 6)
            b += at(crayon(length, c, d), x + (length if flip else 0), y, 180 if flip else 0)
    for x, flip in [(18, True), (w - 18, False)]:
        n = int((h - 80) // (length + 6))
        start = (h - n * (length + 6)) / 2
        for i in range(n):
            c, d = colours[k % 6]
            k += 1
            y = start + i * (length + 6)
            b += at(crayon(length, c, d), x, y + (length if flip else 0), 270 if flip else 90)
    for x, y, a in corners(w, h, 20):
        b += at(shape(star(0, 0, 17, 7.5), SUN, LW) + circle(0, 0, 3, WHITE, 0), x, y, a)
    for x, y in [(60, 60), (w - 60, 60), (60, h - 60), (w - 60, h - 60)]:
        b += fillonly(star(x, y, 5, 1.6, 4), TEAL)
    return b


@border("09-coracoes", "Corações (meia página)", HALF)
def coracoes(w, h):
    b = frame(w, h, 12, PINK, 5, rx=10)
    b += frame(w, h, 12, CORAL_D, 0.6, rx=10)
    for i, (x, y, a) in enumerate(around(w, h, 12, 22)):
        c = [CORAL, PINK_D, PINK][i % 3]
        b += at(shape(heart(0, 0, 12), c, 0.9), x, y, (i % 2) * 16 - 8)
    for x, y, a in corners(w, h, 14):
        g = shape(heart(0, 0, 26), CORAL_D, LW)
        g += shine("M-8,-5 C-8,-9 -4,-11 -1,-10 C-4,-9 -6,-7 -6,-3 Z", 0.7)
        b += at(g, x, y)
    return b


@border("10-estrelas", "Estrelas (página inteira)", FULL)
def estrelas(w, h):
    b = frame(w, h, 24, "#1b3a4b", 1.2, rx=4)
    b += frame(w, h, 24, TEAL, 0.6, rx=4, extra='stroke-dasharray="2,4"')
    colours = [SUN, CORAL, TEAL, MINT]
    for i, (x, y, a) in enumerate(around(w, h, 24, 28)):
        r = 8 if i % 2 == 0 else 5
        b += at(shape(star(0, 0, r, r * 0.45), colours[i % 4], 0.9), x, y, i * 11)
    for x, y, a in corners(w, h, 24):
        g = shape(star(0, 0, 20, 8.5), SUN, LW)
        g += fillonly(star(0, 0, 10, 4.2), SUN_L)
        g += fillonly(star(16, 20, 4, 1.2, 4), TEAL)
        b += at(g, x, y, a)
    return b


@border("11-folhas", "Folhas (meia página)", HALF)
def folhas(w, h):
    b = ""
    autumn = [("#c8642a", "#f08a3a"), (MINT_D, MINT), (SUN_D, SUN), (CORAL_D, CORAL)]
    # a wavy twig along each side with leaves alternating on either side
    for (ax, ay, bx, by, ang) in [(12, 12, w - 12, 12, 0), (w - 12, 12, w - 12, h - 12, 90),
                                  (w - 12, h - 12, 12, h - 12, 180), (12, h - 12, 12, 12, 270)]:
        b += line(f"M{ax},{ay} L{bx},{by}", BROWN_D, 1.2)
    for i, (x, y, a) in enumerate(around(w, h, 12, 18)):
        d, c = autumn[i % 4]
        side = 1 if i % 2 else -1
        b += at(shape(leaf(0, 0, 14, side * 9, 0.36), c, 0.8) +
                line(f"M0,0 L10,{side * 6.5}", d, 0.6), x, y, a)
    for x, y, a in corners(w, h, 12):
        g = shape(leaf(0, 0, 28, 12, 0.36), "#f08a3a", LW) + shape(leaf(0, 0, 12, 28, 0.36), MINT, LW)
        g += shape(leaf(0, 0, 24, 24, 0.36), SUN, LW)
        g += line("M0,0 L20,20", SUN_D, 0.8)
        g += circle(0, 0, 3, BROWN, 0.8)
        b += at(g, x, y, a)
    return b


@border("12-arabescos", "Arabescos (página inteira)", FULL)
def arabescos(w, h):
    b = frame(w, h, 14, TEAL_D, 1.6)
    b += frame(w, h, 46, TEAL_D, 0.8)
    for i, (x, y, a) in enumerate(around(w, h, 30, 44)):
        b += at(scroll(0.9, TEAL), x, y, a + (180 if i % 2 else 0))
    for x, y, a in corners(w, h, 30):
        g = circle(0, 0, 12, WHITE, 1.2, TEAL_D)
        g += shape(star(0, 0, 10, 4, 8), SUN, 0.8, SUN_D)
        g += circle(0, 0, 2.5, CORAL, 0)
        b += at(g, x, y, a)
    for x, y, a in [(w / 2, 46, 0), (w / 2, h - 46, 180), (46, h / 2, 270), (w - 46, h / 2, 90)]:
        g = line("M-30,0 C-20,12 -8,12 0,4 C8,12 20,12 30,0", TEAL, 1.2)
        g += line("M-14,6 C-14,14 -6,18 0,12 C6,18 14,14 14,6", TEAL, 1)
        g += group(rect(-3, -3, 6, 6, SUN, width=0.8, color=SUN_D), "translate(0,10) rotate(45)")
        b += at(g, x, y, a)
    return b


@border("13-ondas", "Ondas (meia página)", HALF)
def ondas(w, h):
    def waves(y0, amp, period, color, down):
        pts_ = []
        n = 120
        for i in range(n + 1):
            x = -2 + (w + 4) * i / n
            pts_.append((x, y0 + amp * math.sin(x / period * 2 * math.pi)))
        edge = -2 if down else h + 2
        return (f'<path d="M-2,{edge} L' + " L".join(f"{f(x)},{f(y)}" for x, y in pts_) +
                f' L{w + 2},{edge} Z" fill="{color}"/>\n')
    b = waves(30, 5, 70, TEAL_L, True) + waves(22, 5, 54, MINT, True) + waves(14, 4, 44, TEAL, True)
    b += waves(h - 30, 5, 70, TEAL_L, False) + waves(h - 22, 5, 54, MINT, False) + waves(h - 14, 4, 44, TEAL, False)
    b += rect(6, 30, 3, h - 60, TEAL, width=0) + rect(w - 9, 30, 3, h - 60, TEAL, width=0)
    b += rect(12, 36, 1, h - 72, MINT, width=0) + rect(w - 13, 36, 1, h - 72, MINT, width=0)
    for x in (40, 120, 200):
        b += circle(x, 48, 2.4, "none", 0.8, TEAL) + circle(x + 8, 56, 1.6, "none", 0.7, TEAL)
        b += circle(x + 30, h - 50, 2.4, "none", 0.8, TEAL) + circle(x + 38, h - 58, 1.6, "none", 0.7, TEAL)
    return b


@border("14-empresarial", "Empresarial (cartão de visita)", CARD)
def empresarial(w, h):
    b = rect(0, 0, 22, h, TEAL, width=0)
    b += rect(22, 0, 6, h, CORAL, width=0)
    b += rect(36, h - 14, w - 36, 4, TEAL, width=0)
    b += rect(36, h - 8, (w - 36) * 0.45, 8, TEAL_D, width=0)
    b += fillonly(f"M{w - 70},0 L{w},0 L{w},70 Z", TEAL)
    b += fillonly(f"M{w - 44},0 L{w},0 L{w},44 Z", CORAL)
    return b


@border("15-elegante", "Elegante (cartão de visita)", CARD)
def elegante(w, h):
    b = frame(w, h, 8, GOLD_D, 1.2)
    b += frame(w, h, 12, GOLD, 0.5)
    for x, y, a in corners(w, h, 8):
        g = line("M4,26 C4,12 12,4 26,4", GOLD_D, 1)
        g += line("M26,4 C32,4 34,10 30,12 M4,26 C4,32 10,34 12,30", GOLD, 0.9)
        g += group(rect(-3, -3, 6, 6, GOLD, width=0.6, color=GOLD_D), "rotate(45)")
        b += at(g, x, y, a)
    g = line("M-40,0 L-8,0 M8,0 L40,0", GOLD, 0.8) + group(rect(-3, -3, 6, 6, "none", width=0.8, color=GOLD_D), "rotate(45)")
    b += at(g, w / 2, h - 8) + at(g, w / 2, 8)
    return b


def preview_for_card(body, w, h):
    """The border dialog stretches previews to a portrait box: a card is shown lying in it."""
    pw, ph = 160, 226
    scale = (pw - 12) / w
    y = (ph - h * scale) / 2
    g = rect(6 + 2, y + 3, w * scale, h * scale, INK, width=0, extra='fill-opacity="0.15"')
    g += rect(6, y, w * scale, h * scale, WHITE, width=0.6, color="#c9d3dc")
    g += group(body, f"translate(6,{f(y)}) scale({f(scale)})")
    return document(pw, ph, rect(0, 0, pw, ph, GREY_L, width=0) + g)


def main():
    lines = []
    for name, title, (w, h), draw in sorted(BORDERS, key=lambda b: b[0].lower()):
        body = draw(w, h)
        with open(os.path.join(HERE, name + ".svg"), "w", encoding="utf-8", newline="\n") as out:
            out.write(document(w, h, body))
        if (w, h) == CARD:
            with open(os.path.join(HERE, name + "-preview.svg"), "w", encoding="utf-8", newline="\n") as out:
                out.write(preview_for_card(body, w, h))
        lines.append(title)
    with open(os.path.join(os.path.dirname(HERE), "bordas.txt"), "wb") as out:
        out.write("".join(line + "\r\n" for line in lines).encode("cp1252"))
    with open(os.path.join(HERE, "list.cmake"), "w", encoding="utf-8", newline="\n") as out:
        out.write("# The shipped borders, one row each: file name (borders/<name>.svg, shipped as\n"
                  "# bordas/<name>.png), width, height, and the preview's width and height. Written by\n"
                  "# gerar.py together with bordas.txt, whose lines follow the same order.\n"
                  "set(QUADRELA_BORDERS\n")
        for name, title, size, draw in sorted(BORDERS, key=lambda b: b[0].lower()):
            pixels = {FULL: "1654 2339", HALF: "1240 1754", CARD: "1900 1085"}[size]
            out.write(f'    "{name} {pixels} 160 226"\n')
        out.write(")\n")


if __name__ == "__main__":
    main()
