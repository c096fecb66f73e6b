"""Birthday, wedding and Halloween cliparts."""
from svgkit import *

ART = {}


def art(name):
    def register(fn):
        ART[name] = fn
        return fn
    return register


def candle(x, top, height, color, flame=True):
    b = rect(x - 13, top, 26, height, color, rx=5, width=7)
    for k in range(1, 4):
        y = top + height * k / 4
        b += line(f"M{x - 11},{f(y)} L{x + 11},{f(y - 10)}", WHITE, 6, 'stroke-opacity="0.8"')
    if flame:
        b += line(f"M{x},{top} L{x},{top - 12}", INK, 5)
        b += shape(f"M{x},{top - 66} C{x + 20},{top - 40} {x + 20},{top - 12} {x},{top - 12} "
                   f"C{x - 20},{top - 12} {x - 20},{top - 40} {x},{top - 66} Z", SUN, 6)
        b += fillonly(f"M{x},{top - 46} C{x + 9},{top - 32} {x + 9},{top - 20} {x},{top - 20} "
                      f"C{x - 9},{top - 20} {x - 9},{top - 32} {x},{top - 46} Z", CORAL)
    return b


@art("bolo-aniversario")
def bolo_aniversario():
    b = ellipse(256, 452, 220, 34, GREY_L)
    b += rect(76, 300, 360, 144, PINK, rx=20)
    b += rect(76, 380, 360, 22, CREAM, width=0)
    b += line("M76,380 L436,380 M76,402 L436,402", INK, 6)
    b += rect(116, 200, 280, 108, CREAM, rx=16)
    # icing with drips on both tiers
    b += shape("M116,232 L116,216 C116,206 124,200 134,200 L378,200 C388,200 396,206 396,216 "
               "L396,236 C396,256 376,256 376,238 C376,262 346,262 346,238 C346,250 316,250 316,236 "
               "C316,266 284,266 284,238 C284,252 252,252 252,236 C252,262 220,262 220,238 "
               "C220,250 190,250 190,236 C190,264 158,264 158,238 C158,252 136,256 116,232 Z", CORAL)
    b += shape("M76,336 L76,320 C76,308 86,300 98,300 L414,300 C426,300 436,308 436,320 "
               "L436,340 C436,360 410,360 410,340 C410,368 374,368 374,340 C374,354 340,354 340,338 "
               "C340,368 304,368 304,340 C304,356 272,356 272,340 C272,366 238,366 238,340 "
               "C238,354 206,354 206,338 C206,368 170,368 170,340 C170,356 140,356 140,340 "
               "C140,364 100,366 76,336 Z", WHITE)
    for x, c in [(140, TEAL), (200, SUN), (270, MINT), (330, CORAL), (390, PLUM), (110, SUN),
                 (240, PLUM), (370, TEAL)]:
        b += rect(x - 9, 420 - (x % 3) * 8, 18, 7, c, rx=3, width=0, extra=f'transform="rotate({x % 50 - 25} {x} {420 - (x % 3) * 8})"')
    for x, c in [(196, TEAL), (256, CORAL), (316, MINT)]:
        b += candle(x, 120, 86, c)
    return b


@art("baloes")
def baloes():
    b = ""
    strings = [("M150,300 C170,360 200,400 250,470", CORAL), ("M256,250 C246,330 270,400 250,470", TEAL),
               ("M366,290 C346,370 300,420 250,470", SUN)]
    for d, _ in strings:
        b += line(d, INK, 5)
    def balloon(cx, cy, rx, ry, c, cd, rot):
        g = shape(f"M{cx},{cy + ry} C{cx - rx * 1.35},{cy + ry * 0.55} {cx - rx * 1.1},{cy - ry} {cx},{cy - ry} "
                  f"C{cx + rx * 1.1},{cy - ry} {cx + rx * 1.35},{cy + ry * 0.55} {cx},{cy + ry} Z", c)
        g += fillonly(f"M{cx + rx * 0.2},{cy + ry * 0.95} C{cx + rx * 0.95},{cy + ry * 0.4} {cx + rx * 0.95},{cy - ry * 0.4} {cx + rx * 0.55},{cy - ry * 0.75} "
                      f"C{cx + rx * 1.05},{cy - ry * 0.2} {cx + rx * 1.0},{cy + ry * 0.5} {cx + rx * 0.2},{cy + ry * 0.95} Z", cd, 'fill-opacity="0.6"')
        g += shine(f"M{cx - rx * 0.55},{cy - ry * 0.35} C{cx - rx * 0.5},{cy - ry * 0.7} {cx - rx * 0.2},{cy - ry * 0.85} {cx + rx * 0.05},{cy - ry * 0.82} "
                   f"C{cx - rx * 0.25},{cy - ry * 0.65} {cx - rx * 0.42},{cy - ry * 0.45} {cx - rx * 0.55},{cy - ry * 0.35} Z", 0.7)
        g += shape(f"M{cx},{cy + ry - 2} L{cx - 14},{cy + ry + 20} L{cx + 14},{cy + ry + 20} Z", cd, 7)
        return group(g, f"rotate({rot} {cx} {cy + ry})")
    b += balloon(150, 190, 86, 108, CORAL, CORAL_D, -12)
    b += balloon(366, 180, 86, 108, SUN, SUN_D, 12)
    b += balloon(256, 140, 94, 116, TEAL, TEAL_D, 0)
    b += shape("M250,470 C230,450 214,470 226,486 M250,470 C270,450 290,470 278,486", "none", 6)
    return b


@art("chapeu-festa")
def chapeu_festa():
    b = shadow(256, 470, 160)
    cone = "M256,60 L412,440 Q256,486 100,440 Z"
    b += shape(cone, PLUM)
    b += fillonly("M256,60 L150,452 Q200,466 230,468 Z", WHITE, 'fill-opacity="0.18"')
    # diagonal stripes
    for k, c in [(0, SUN), (1, MINT), (2, CORAL)]:
        y0 = 170 + k * 95
        b += fillonly(f"M{f(256 - (y0 - 60) * 0.41)},{y0} L{f(256 + (y0 + 20 - 60) * 0.41)},{y0 + 20} "
                      f"L{f(256 + (y0 + 56 - 60) * 0.41)},{y0 + 56} L{f(256 - (y0 + 36 - 60) * 0.41)},{y0 + 36} Z", c)
    for x, y in [(236, 140), (292, 200), (226, 304), (300, 330), (190, 410), (330, 420)]:
        b += circle(x, y, 8, WHITE, 0, extra='fill-opacity="0.85"')
    b += shape(cone, "none")
    b += shape("M92,440 Q256,500 420,440 Q430,470 410,474 Q256,520 102,474 Q84,468 92,440 Z", SUN)
    # pompom
    for i in range(10):
        b += group(ellipse(256, 36, 9, 34, CORAL, 6), f"rotate({i * 36} 256 58)")
    b += circle(256, 58, 22, CORAL_D, 7)
    return b


@art("confete")
def confete():
    b = ""
    pieces = [(90, 110, CORAL, 20), (200, 70, TEAL, -30), (330, 96, SUN, 45), (440, 150, MINT, -10),
              (120, 240, PLUM, 60), (250, 200, PINK, 15), (390, 260, CORAL, -45), (80, 380, SUN, 30),
              (210, 330, MINT, -60), (330, 370, TEAL, 80), (440, 420, PLUM, 10), (170, 450, CORAL, -20),
              (300, 470, SUN, 50)]
    for x, y, c, r in pieces:
        b += group(rect(x - 24, y - 12, 48, 24, c, rx=5, width=7), f"rotate({r} {x} {y})")
    for x, y, c in [(150, 170, SUN), (300, 140, CORAL), (460, 300, TEAL), (60, 300, MINT), (260, 410, PLUM),
                    (380, 190, MINT)]:
        b += circle(x, y, 16, c, 7)
    for x, y, c in [(60, 60, TEAL), (470, 60, CORAL), (400, 480, MINT), (50, 470, PINK)]:
        b += line(f"M{x - 30},{y} C{x - 20},{y - 24} {x - 10},{y + 24} {x},{y} C{x + 10},{y - 24} {x + 20},{y + 24} {x + 30},{y}", c, 12)
    b += shape(star(256, 276, 40, 18), SUN, 7)
    return b


@art("velas")
def velas():
    b = shadow(256, 462, 180)
    for x, h, c in [(110, 250, CORAL), (183, 320, TEAL), (256, 280, SUN), (329, 330, MINT),
                    (402, 240, PLUM)]:
        top = 450 - h
        b += rect(x - 24, top, 48, h, c, rx=8)
        for k in range(1, 6):
            y = top + h * k / 6
            b += line(f"M{x - 20},{f(y + 10)} L{x + 20},{f(y - 10)}", WHITE, 10, 'stroke-opacity="0.75"')
        b += rect(x - 24, top, 48, h, "none", rx=8)
        b += line(f"M{x},{top} L{x},{top - 18}", INK, 6)
        b += shape(f"M{x},{top - 90} C{x + 30},{top - 54} {x + 28},{top - 16} {x},{top - 16} "
                   f"C{x - 28},{top - 16} {x - 30},{top - 54} {x},{top - 90} Z", SUN, 7)
        b += fillonly(f"M{x},{top - 62} C{x + 13},{top - 44} {x + 12},{top - 26} {x},{top - 26} "
                      f"C{x - 12},{top - 26} {x - 13},{top - 44} {x},{top - 62} Z", CORAL)
    b += rect(60, 444, 392, 22, GREY_L, rx=11)
    return b


@art("aliancas")
def aliancas():
    b = shadow(256, 440, 190)
    grad = linear_gradient("ouro", [(0, GOLD_L), (0.5, GOLD), (1, GOLD_D)], 0, 0, 1, 1)
    b += f"<defs>{grad}</defs>\n"
    def ring(cx, cy, rot):
        g = ellipse(cx, cy, 118, 118, "none", 48)
        g += ellipse(cx, cy, 118, 118, "none", 32, "url(#ouro)")
        g += f'<path d="M{cx - 96},{cy - 50} A108,108 0 0 1 {cx - 20},{cy - 108}" fill="none" stroke="#ffffff" stroke-width="8" stroke-linecap="round" stroke-opacity="0.7"/>\n'
        return group(g, f"rotate({rot} {cx} {cy})")
    b += ring(196, 290, -10)
    b += ring(316, 270, 10)
    # diamond on the right ring
    b += shape("M316,126 L352,150 L316,190 L280,150 Z", TEAL_L, 8)
    b += shape("M280,150 L352,150 M300,150 L316,190 L332,150 M316,126 L300,150 M316,126 L332,150", "none", 5)
    for x, y in [(120, 110), (410, 380), (90, 420)]:
        b += fillonly(star(x, y, 24, 6, 4), SUN)
    b += shape(heart(256, 420, 60), CORAL, 7)
    return b


def dove():
    """A dove facing right, about 290 × 260 units, its beak near (282, 116)."""
    g = shape("M18,120 L70,150 L8,164 L64,180 L30,214 L100,196 Z", WHITE)
    g += shape("M206,92 C176,104 150,146 100,166 C80,174 70,178 60,182 C90,230 180,240 226,204 "
               "C252,182 262,146 252,112 Z", WHITE)
    g += circle(230, 112, 32, WHITE)
    g += shape("M258,104 L290,118 L258,128 Z", SUN, 7)
    g += circle(238, 106, 6, INK, 0)
    g += fillonly("M100,208 C150,226 200,218 226,196 C212,222 160,236 110,222 Z", GREY_L)
    g += shape("M120,176 C96,120 104,52 150,14 C156,60 178,92 214,118 C206,160 170,186 120,176 Z", WHITE)
    g += line("M136,160 C126,120 132,80 150,52 M156,166 C150,130 156,100 174,84 M178,160 C178,140 186,120 198,110",
              GREY, 6)
    return g


@art("pombas")
def pombas():
    b = group(group(dove(), "translate(-10,80)") + group(dove(), "translate(522,80) scale(-1,1)"),
              "translate(256,200) scale(0.88) translate(-256,-200)")
    # a ribbon held between the beaks, with a heart hanging from it
    b += line("M266,196 C262,224 250,224 246,196", CORAL, 7)
    b += line("M256,224 L256,300", CORAL, 6)
    b += shape(heart(256, 360, 130), CORAL)
    b += shine("M212,332 C214,312 230,304 244,310 C230,316 222,326 218,342 Z", 0.7)
    for x, y in [(80, 60), (440, 60), (120, 430), (392, 430)]:
        b += fillonly(star(x, y, 20, 5, 4), SUN)
    return b


@art("buque-coracoes")
def buque_coracoes():
    b = shadow(256, 488, 90)
    b += line("M256,300 L256,470 M256,300 L200,470 M256,300 L312,470 M256,320 L230,470 M256,320 L284,470", MINT_D, 12)
    # wrapping paper cone
    b += shape("M150,300 L362,300 L280,480 L232,480 Z", CREAM)
    b += fillonly("M256,300 L362,300 L280,480 L256,480 Z", SAND)
    b += shape("M150,300 L362,300 L280,480 L232,480 Z", "none")
    b += shape("M220,400 C190,380 170,400 188,420 C200,432 220,420 234,404 Z M292,400 C322,380 342,400 324,420 "
               "C312,432 292,420 278,404 Z", CORAL, 7)
    b += line("M240,404 L214,464 M272,404 L300,464", CORAL, 9)
    b += rect(228, 392, 56, 24, CORAL_D, rx=10, width=7)
    b += shape(leaf(170, 290, 90, 220, 0.3), MINT)
    b += shape(leaf(342, 290, 422, 220, 0.3), MINT)
    for cx, cy, s, c in [(170, 220, 120, PINK), (342, 220, 120, PINK), (256, 130, 140, CORAL),
                         (190, 120, 90, PINK_D), (322, 120, 90, PINK_D), (256, 250, 130, CORAL_D)]:
        b += shape(heart(cx, cy, s), c)
        b += shine(f"M{f(cx - s * 0.36)},{f(cy - s * 0.2)} C{f(cx - s * 0.34)},{f(cy - s * 0.36)} {f(cx - s * 0.2)},{f(cy - s * 0.4)} {f(cx - s * 0.1)},{f(cy - s * 0.36)} "
                   f"C{f(cx - s * 0.22)},{f(cy - s * 0.3)} {f(cx - s * 0.3)},{f(cy - s * 0.22)} {f(cx - s * 0.32)},{f(cy - s * 0.1)} Z", 0.6)
    return b


@art("sinos-casamento")
def sinos_casamento():
    def bell(cx, rot):
        d = (f"M{cx},120 C{cx - 60},120 {cx - 80},170 {cx - 84},230 C{cx - 88},290 {cx - 100},330 {cx - 130},360 "
             f"L{cx + 130},360 C{cx + 100},330 {cx + 88},290 {cx + 84},230 C{cx + 80},170 {cx + 60},120 {cx},120 Z")
        g = circle(cx, 384, 26, GOLD_D)
        g += shape(d, GOLD)
        g += fillonly(f"M{cx - 40},140 C{cx - 60},180 {cx - 64},250 {cx - 72},300 C{cx - 78},330 {cx - 90},348 {cx - 104},356 L{cx - 70},356 "
                      f"C{cx - 50},320 {cx - 46},260 {cx - 40},200 Z", GOLD_L, 'fill-opacity="0.8"')
        g += rect(cx - 140, 348, 280, 28, GOLD_D, rx=14)
        return group(g, f"rotate({rot} {cx} 100)")
    b = group(bell(180, 12) + bell(332, -12), "translate(256,270) scale(0.84) translate(-256,-250)")
    b += shape("M256,70 C220,40 180,60 200,90 C210,104 236,100 256,90 Z M256,70 C292,40 332,60 312,90 C302,104 276,100 256,90 Z", WHITE, 8)
    b += shape("M250,86 C230,130 214,150 196,160 M262,86 C282,130 298,150 316,160", "none", 8)
    b += circle(256, 82, 16, WHITE, 8)
    for x, y in [(80, 120), (440, 140), (256, 450), (100, 440), (420, 450)]:
        b += fillonly(star(x, y, 22, 6, 4), SUN)
    b += shape(heart(256, 440, 50), CORAL, 6)
    return b


@art("abobora")
def abobora():
    b = shadow(256, 470, 200)
    b += shape("M256,120 C120,100 50,180 56,290 C62,400 150,456 256,456 C362,456 450,400 456,290 "
               "C462,180 392,100 256,120 Z", "#f08a3a")
    b += fillonly("M256,128 C180,126 160,200 160,290 C160,380 190,440 256,448 C322,440 352,380 352,290 "
                  "C352,200 332,126 256,128 Z", "#f6a04e")
    b += line("M160,140 C120,200 116,370 170,444 M352,140 C392,200 396,370 342,444", "#c8642a", 8)
    b += shape("M256,120 C120,100 50,180 56,290 C62,400 150,456 256,456 C362,456 450,400 456,290 "
               "C462,180 392,100 256,120 Z", "none")
    # stem and leaf
    b += shape("M240,124 C236,90 244,62 262,44 L286,58 C272,74 268,98 272,124 Z", MINT_D)
    b += shape(leaf(272, 96, 360, 60, 0.32), MINT)
    b += line("M300,96 C330,110 340,90 330,76", MINT_D, 6)
    # face
    b += shape("M150,250 L210,210 L222,274 Z", INK, 6)
    b += shape("M362,250 L302,210 L290,274 Z", INK, 6)
    b += shape("M242,300 L256,280 L270,300 Z", INK, 6)
    b += shape("M140,330 C180,380 220,400 256,400 C292,400 332,380 372,330 L340,346 L320,326 L296,354 "
               "L270,334 L242,354 L218,328 L190,352 L168,330 Z", INK, 6)
    return b


@art("morcego")
def morcego():
    b = circle(256, 236, 190, SUN_L, 0, extra='fill-opacity="0.7"')
    wing = ("M256,250 C220,200 150,170 40,196 C70,216 76,240 72,262 C96,250 120,256 130,276 "
            "C150,262 176,266 186,290 C206,276 236,280 256,300 "
            "C276,280 306,276 326,290 C336,266 362,262 382,276 C392,256 416,250 440,262 "
            "C436,240 442,216 472,196 C362,170 292,200 256,250 Z")
    b += shape(wing, PLUM_D)
    b += fillonly("M256,256 C230,220 170,200 100,204 C160,214 210,236 236,272 Z", PLUM, 'fill-opacity="0.8"')
    b += fillonly("M256,256 C282,220 342,200 412,204 C352,214 302,236 276,272 Z", PLUM, 'fill-opacity="0.8"')
    b += shape("M226,206 L222,160 L244,186 L268,186 L290,160 L286,206 C296,250 282,290 256,300 "
               "C230,290 216,250 226,206 Z", PLUM_D)
    b += circle(242, 214, 9, SUN, 0)
    b += circle(270, 214, 9, SUN, 0)
    b += shape("M248,244 L252,256 L256,244 L260,256 L264,244", "none", 5, WHITE)
    return b


@art("fantasma")
def fantasma():
    b = shadow(256, 480, 120)
    body = ("M120,440 L120,230 C120,130 180,70 256,70 C332,70 392,130 392,230 L392,440 "
            "C370,420 350,420 332,446 C312,416 290,416 272,446 C254,416 232,416 214,446 "
            "C196,416 172,416 152,446 C144,430 132,428 120,440 Z")
    b += shape(body, WHITE)
    b += fillonly("M340,110 C376,140 392,180 392,240 L392,436 C380,426 370,424 360,430 L360,240 C360,180 352,140 340,110 Z", GREY_L)
    b += shape(body, "none")
    b += ellipse(210, 210, 22, 32, INK, 0)
    b += ellipse(300, 210, 22, 32, INK, 0)
    b += circle(216, 198, 7, WHITE, 0)
    b += circle(306, 198, 7, WHITE, 0)
    b += ellipse(256, 290, 24, 32, INK, 0)
    b += ellipse(176, 260, 20, 12, PINK, 0, extra='fill-opacity="0.7"')
    b += ellipse(336, 260, 20, 12, PINK, 0, extra='fill-opacity="0.7"')
    b += shape("M120,300 C80,300 60,270 70,240 C90,260 104,264 120,262", WHITE)
    b += shape("M392,300 C432,300 452,270 442,240 C422,260 408,264 392,262", WHITE)
    return b


@art("chapeu-bruxa")
def chapeu_bruxa():
    b = shadow(256, 440, 230)
    b += shape("M40,400 C40,360 140,344 256,344 C372,344 472,360 472,400 C472,430 380,446 256,446 "
               "C132,446 40,430 40,400 Z", PLUM_D)
    b += shape("M130,392 C160,300 190,200 230,140 C260,96 300,70 350,60 C330,80 320,100 330,120 "
               "C310,150 300,250 350,380 C300,404 200,410 130,392 Z", PLUM)
    b += fillonly("M170,384 C200,290 220,200 250,150 C230,220 214,300 210,392 Z", WHITE, 'fill-opacity="0.18"')
    b += shape("M140,356 C200,370 300,370 344,344 L352,380 C300,404 200,410 132,392 Z", MINT)
    b += rect(216, 348, 56, 52, SUN, rx=6, width=9)
    b += rect(232, 362, 24, 24, PLUM, rx=3, width=0)
    b += fillonly(star(420, 120, 30, 12), SUN)
    b += fillonly(star(120, 150, 20, 8), SUN)
    b += shape("M356,60 C380,70 392,90 392,110 C376,96 360,92 344,98 Z", PLUM)
    return b


@art("teia-aranha")
def teia_aranha():
    b = ""
    cx, cy = 256, 256
    spokes = ""
    angles = [i * 45 + 22.5 for i in range(8)]
    for a in angles:
        x = cx + 240 * math.cos(math.radians(a))
        y = cy + 240 * math.sin(math.radians(a))
        spokes += f"M{cx},{cy} L{f(x)},{f(y)} "
    b += line(spokes, INK, 7)
    for r in (60, 110, 160, 210):
        d = ""
        for i, a in enumerate(angles + [angles[0]]):
            x = cx + r * math.cos(math.radians(a))
            y = cy + r * math.sin(math.radians(a))
            if i == 0:
                d += f"M{f(x)},{f(y)} "
            else:
                pa = angles[i - 1]
                m = math.radians((pa + a) / 2 if a > pa else (pa + a + 360) / 2)
                qx = cx + r * 0.8 * math.cos(m)
                qy = cy + r * 0.8 * math.sin(m)
                d += f"Q{f(qx)},{f(qy)} {f(x)},{f(y)} "
        b += line(d, INK, 6)
    # spider hanging on a thread
    b += line("M360,300 L360,370", INK, 5)
    legs = ""
    for s in (-1, 1):
        for k, dy in enumerate((-18, -4, 10, 24)):
            legs += f"M360,{400 + dy / 2} C{360 + s * 40},{380 + dy} {360 + s * 50},{400 + dy} {360 + s * 56},{420 + dy * 1.4} "
    b += line(legs, INK, 8)
    b += circle(360, 412, 30, INK, 0)
    b += circle(360, 376, 18, INK, 0)
    b += circle(352, 374, 5, WHITE, 0)
    b += circle(368, 374, 5, WHITE, 0)
    return b
