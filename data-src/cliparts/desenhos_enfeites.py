"""Frames, ribbons and stars."""
from svgkit import *

ART = {}


def art(name):
    def register(fn):
        ART[name] = fn
        return fn
    return register


@art("moldura-oval")
def moldura_oval():
    b = ellipse(256, 256, 200, 240, "none", 44)
    b += ellipse(256, 256, 200, 240, "none", 30, GOLD)
    b += ellipse(256, 256, 200, 240, "none", 6, GOLD_L)
    b += ellipse(256, 256, 170, 210, "none", 6)
    b += ellipse(256, 256, 230, 270, "none", 6)
    # ornaments at the four ends
    for cx, cy in [(256, 20), (256, 492)]:
        b += shape(f"M{cx - 46},{cy} C{cx - 30},{cy - 22} {cx - 14},{cy - 22} {cx},{cy} "
                   f"C{cx + 14},{cy - 22} {cx + 30},{cy - 22} {cx + 46},{cy} "
                   f"C{cx + 30},{cy + 22} {cx + 14},{cy + 22} {cx},{cy} "
                   f"C{cx - 14},{cy + 22} {cx - 30},{cy + 22} {cx - 46},{cy} Z", GOLD, 7)
        b += circle(cx, cy, 12, CORAL, 6)
    for cx, cy in [(28, 256), (484, 256)]:
        b += shape(f"M{cx},{cy - 40} L{cx + 20},{cy} L{cx},{cy + 40} L{cx - 20},{cy} Z", GOLD, 7)
        b += circle(cx, cy, 10, CORAL, 6)
    return group(b, "translate(256,256) scale(0.94) translate(-256,-256)")


@art("moldura-retangular")
def moldura_retangular():
    b = rect(40, 40, 432, 432, "none", rx=8, width=56)
    b += rect(40, 40, 432, 432, "none", rx=8, width=40, color=TEAL)
    b += rect(40, 40, 432, 432, "none", rx=8, width=8, color=TEAL_L)
    b += rect(76, 76, 360, 360, "none", rx=4, width=6)
    b += rect(12, 12, 488, 488, "none", rx=14, width=6)
    for x, y in [(40, 40), (472, 40), (40, 472), (472, 472)]:
        b += shape(f"M{x},{y - 34} L{x + 34},{y} L{x},{y + 34} L{x - 34},{y} Z", SUN, 8)
        b += circle(x, y, 9, CORAL, 0)
    return b


@art("faixa")
def faixa():
    """A wide banner for titles."""
    b = shape("M20,150 L100,150 L100,230 L20,230 L52,190 Z", CORAL_D)
    b += shape("M492,150 L412,150 L412,230 L492,230 L460,190 Z", CORAL_D)
    b += fillonly("M100,230 L140,206 L140,196 Z M412,230 L372,206 L372,196 Z", INK)
    b += shape("M100,150 L140,126 L140,206 L100,230 Z", "#a83a2c")
    b += shape("M412,150 L372,126 L372,206 L412,230 Z", "#a83a2c")
    b += shape("M140,40 C230,70 282,70 372,40 L372,206 C282,236 230,236 140,206 Z", CORAL)
    b += fillonly("M140,56 C230,86 282,86 372,56 L372,76 C282,106 230,106 140,76 Z", WHITE, 'fill-opacity="0.3"')
    b += shape("M140,40 C230,70 282,70 372,40 L372,206 C282,236 230,236 140,206 Z", "none")
    b += line("M156,190 C236,216 276,216 356,190", WHITE, 4, 'stroke-dasharray="10,10" stroke-opacity="0.8"')
    b += line("M156,62 C236,88 276,88 356,62", WHITE, 4, 'stroke-dasharray="10,10" stroke-opacity="0.8"')
    for x in (200, 256, 312):
        b += fillonly(star(x, 140, 24, 10), SUN)
    return b, 512, 256


@art("fita-laco")
def fita_laco():
    b = shape("M230,260 L150,470 L196,450 L220,496 L268,290 Z", TEAL_D)
    b += shape("M282,260 L362,470 L316,450 L292,496 L244,290 Z", TEAL)
    b += shape("M256,250 C180,110 60,120 70,220 C76,300 190,300 256,260 Z", TEAL)
    b += shape("M256,250 C332,110 452,120 442,220 C436,300 322,300 256,260 Z", TEAL)
    b += fillonly("M240,248 C190,190 120,176 110,214 C140,200 190,214 240,248 Z", TEAL_D)
    b += fillonly("M272,248 C322,190 392,176 402,214 C372,200 322,214 272,248 Z", TEAL_D)
    b += shine("M100,200 C100,160 140,150 170,160 C136,168 116,180 108,210 Z", 0.5)
    b += shine("M340,150 C380,140 420,160 420,190 C404,170 380,160 350,160 Z", 0.5)
    b += rect(222, 218, 68, 70, TEAL_D, rx=18)
    b += line("M234,236 L278,236", WHITE, 5, 'stroke-opacity="0.5"')
    return b


@art("estrelas")
def estrelas():
    b = ""
    for cx, cy, r, c, cd, rot in [(200, 270, 170, SUN, SUN_D, -8), (390, 130, 90, CORAL, CORAL_D, 12),
                                  (400, 390, 70, TEAL, TEAL_D, -14)]:
        g = shape(star(cx, cy, r, r * 0.45), c)
        pts_ = star_points(cx, cy, r, r * 0.45)
        for i in range(0, 10, 2):
            ox, oy = pts_[i]
            ix, iy = pts_[(i + 1) % 10]
            g += fillonly(f"M{f(cx)},{f(cy)} L{f(ox)},{f(oy)} L{f(ix)},{f(iy)} Z", cd, 'fill-opacity="0.5"')
        g += shape(star(cx, cy, r, r * 0.45), "none")
        b += group(g, f"rotate({rot} {cx} {cy})")
    for x, y in [(80, 70), (470, 250), (90, 470), (300, 470)]:
        b += fillonly(star(x, y, 22, 6, 4), SUN)
    return b


@art("estrela-cadente")
def estrela_cadente():
    """Drawn on a rounded night tile: it ships as JPEG."""
    defs = "<defs>" + linear_gradient("noite", [(0, "#1b3a4b"), (1, TEAL)]) + "</defs>\n"
    b = defs + rect(16, 16, 480, 480, "url(#noite)", rx=56, width=0)
    for x, y, r in [(80, 90, 3), (140, 200, 2), (420, 80, 3), (440, 220, 2), (90, 420, 3), (230, 60, 2),
                    (340, 440, 3), (460, 380, 2), (200, 430, 2), (60, 300, 2)]:
        b += circle(x, y, r * 2, WHITE, 0, extra='fill-opacity="0.8"')
    for k, (c, w) in enumerate([(CORAL, 26), (SUN, 26), (MINT, 26)]):
        off = (k - 1) * 30
        b += line(f"M{80 + off},{380 + off * 0.2} C{170 + off},{330 + off} {250 + off * 0.3},{300 + off} {300},{230 + off * 0.4}",
                  c, w, 'stroke-opacity="0.85"')
    b += shape(star(330, 200, 110, 48, rotation=-100), SUN)
    b += fillonly(star(330, 200, 60, 26, rotation=-100), SUN_L)
    b += circle(300, 200, 8, INK, 0) + circle(350, 196, 8, INK, 0)
    b += line("M306,226 Q326,246 346,224", INK, 7)
    b += rect(16, 16, 480, 480, "none", rx=56, width=12, color=TEAL_D)
    return b
