"""Christmas cliparts."""
from svgkit import *

ART = {}


def art(name):
    def register(fn):
        ART[name] = fn
        return fn
    return register


@art("arvore-natal")
def arvore_natal():
    b = shadow(256, 478, 150)
    b += rect(226, 410, 60, 62, BROWN, rx=6)
    b += rect(226, 410, 26, 62, BROWN_L, rx=6, width=0, extra='fill-opacity="0.5"')
    # three tiers, widest at the bottom
    tiers = [(140, 250, 120), (215, 330, 165), (300, 420, 205)]
    body = ""
    for top, bottom, half in reversed(tiers):
        d = (f"M256,{top - 60} L{256 + half},{bottom} "
             f"Q256,{bottom + 26} {256 - half},{bottom} Z")
        body += shape(d, MINT_D)
        body += fillonly(f"M256,{top - 52} L{256 - half + 22},{bottom - 4} "
                         f"Q{256 - half * 0.45},{bottom + 10} 236,{bottom + 10} Z", MINT,
                         'fill-opacity="0.75"')
    b += body
    # garland
    b += line("M170,300 Q256,335 340,292", SUN, 9)
    b += line("M132,384 Q256,430 384,376", SUN, 9)
    for x, y, c in [(200, 232, CORAL), (300, 246, TEAL), (180, 325, SUN), (262, 316, CORAL),
                    (330, 322, PLUM), (150, 402, TEAL), (236, 396, PINK), (318, 408, CORAL),
                    (380, 398, SUN)]:
        b += circle(x, y, 15, c, 7)
        b += circle(x - 5, y - 5, 4.5, WHITE, 0, extra='fill-opacity="0.7"')
    b += shape(star(256, 80, 52, 22), SUN)
    b += fillonly(star(256, 80, 30, 13), SUN_L)
    return b


@art("bola-natal")
def bola_natal():
    b = line("M256,30 L256,96", INK, 6)
    b += circle(256, 26, 14, "none", 7)
    b += rect(222, 86, 68, 42, GOLD, rx=8)
    b += line("M234,98 L234,118 M256,98 L256,118 M278,98 L278,118", GOLD_D, 6)
    b += circle(256, 300, 180, CORAL)
    # bands with a zig-zag and dots
    b += fillonly("M82,262 Q256,222 430,262 L434,300 Q256,262 78,300 Z", CORAL_D)
    zig = "M88,318 " + " ".join(
        f"L{f(88 + i * 28)},{f(300 if i % 2 else 336)}" for i in range(1, 13))
    b += line(zig, WHITE, 10)
    for x in (150, 214, 278, 342):
        b += circle(x + 10, 400, 11, SUN, 0)
    b += fillonly(star(256, 190, 34, 15), SUN)
    b += shine("M140,200 C150,160 190,136 226,130 C196,150 170,178 160,214 Z", 0.55)
    b += circle(256, 300, 180, "none")
    return b


@art("presente")
def presente():
    b = shadow(256, 470, 190)
    b += rect(86, 236, 340, 224, TEAL, rx=10)
    b += rect(86, 236, 340, 28, TEAL_D, width=0)
    b += rect(66, 176, 380, 72, TEAL_L, rx=10)
    b += rect(226, 176, 60, 284, CORAL, width=0)
    b += line("M226,176 L226,460 M286,176 L286,460", INK, 8)
    b += rect(66, 176, 380, 72, "none", rx=10)
    b += rect(86, 248, 340, 212, "none", rx=10)
    # bow
    b += shape("M256,176 C196,96 124,110 146,150 C160,176 216,180 256,176 Z", CORAL)
    b += shape("M256,176 C316,96 388,110 366,150 C352,176 296,180 256,176 Z", CORAL)
    b += shape("M244,176 C226,206 206,226 190,236 M268,176 C286,206 306,226 322,236", "none")
    b += fillonly("M170,140 C190,128 220,142 240,166 C210,160 186,156 170,140 Z", CORAL_D)
    b += fillonly("M342,140 C322,128 292,142 272,166 C302,160 326,156 342,140 Z", CORAL_D)
    b += ellipse(256, 174, 26, 20, CORAL_D)
    for x, y in [(130, 320), (170, 400), (350, 310), (390, 400), (140, 440)]:
        b += fillonly(star(x, y, 16, 7), WHITE, 'fill-opacity="0.55"')
    return b


@art("estrela-natal")
def estrela_natal():
    b = ""
    for i in range(8):
        a = i * 45
        b += group(line("M256,256 L256,36", SUN_L, 8, 'stroke-opacity="0.9"'),
                   f"rotate({a} 256 256)")
    b += shape(star(256, 266, 200, 84), SUN)
    # facets: light on the upper-left of each point
    pts_ = star_points(256, 266, 200, 84)
    for i in range(0, 10, 2):
        ox, oy = pts_[i]
        ix, iy = pts_[i - 1]
        b += fillonly(f"M256,266 L{f(ox)},{f(oy)} L{f(ix)},{f(iy)} Z", SUN_D, 'fill-opacity="0.55"')
    b += shape(star(256, 266, 200, 84), "none")
    b += circle(256, 266, 26, WHITE, 0, extra='fill-opacity="0.8"')
    return b


@art("sino-natal")
def sino_natal():
    b = shadow(256, 478, 150)
    bell = ("M256,96 C176,96 146,168 140,236 C134,310 118,356 78,392 L434,392 "
            "C394,356 378,310 372,236 C366,168 336,96 256,96 Z")
    b += shape(bell, GOLD)
    b += fillonly("M196,130 C170,160 160,220 156,280 C152,330 140,360 116,384 L150,384 "
                  "C176,350 186,300 190,240 C194,190 204,150 226,118 Z", GOLD_L, 'fill-opacity="0.8"')
    b += fillonly("M330,150 C350,190 356,260 360,300 C364,340 380,366 404,384 L434,392 "
                  "C394,356 378,310 372,236 C368,196 356,160 330,150 Z", GOLD_D, 'fill-opacity="0.7"')
    b += shape(bell, "none")
    b += rect(64, 384, 384, 34, GOLD_D, rx=17)
    b += circle(256, 448, 32, GOLD_D)
    # holly on top
    b += shape(leaf(256, 98, 156, 60, 0.3), MINT_D)
    b += shape(leaf(256, 98, 356, 60, 0.3), MINT_D)
    b += line("M256,98 L186,76 M256,98 L326,76", MINT, 5)
    for x, y in [(238, 84), (274, 84), (256, 62)]:
        b += circle(x, y, 18, CORAL, 7)
        b += circle(x - 5, y - 6, 5, WHITE, 0, extra='fill-opacity="0.7"')
    return b


@art("floco-neve")
def floco_neve():
    arm = ("M256,256 L256,52 M256,110 L216,76 M256,110 L296,76 M256,170 L204,130 "
           "M256,170 L308,130")
    b = circle(256, 256, 230, TEAL_L, 0, extra='fill-opacity="0.55"')
    inner = ""
    for i in range(6):
        inner += group(line(arm, INK, 34), f"rotate({i * 60} 256 256)")
    for i in range(6):
        inner += group(line(arm, TEAL_L, 18), f"rotate({i * 60} 256 256)")
    for i in range(6):
        inner += group(line(arm, WHITE, 8), f"rotate({i * 60} 256 256)")
    b += inner
    b += shape(polygon_path([(256 + 46 * math.cos(math.radians(30 + 60 * i)),
                              256 + 46 * math.sin(math.radians(30 + 60 * i))) for i in range(6)]),
               TEAL)
    b += circle(256, 256, 14, WHITE, 0)
    return b


@art("gorro-natal")
def gorro_natal():
    b = shadow(256, 452, 200)
    hat = "M100,392 C110,250 180,120 300,96 C380,80 430,130 440,200 C410,160 360,150 330,190 C310,230 330,320 404,392 Z"
    b += shape(hat, CORAL)
    b += fillonly("M130,380 C140,260 190,160 270,118 C210,170 176,270 176,380 Z", CORAL_L, 'fill-opacity="0.55"')
    b += fillonly("M330,190 C310,230 330,320 404,392 L350,392 C300,330 290,250 330,190 Z", CORAL_D, 'fill-opacity="0.8"')
    b += shape(hat, "none")
    # fur brim with puffs
    b += shape("M70,380 C70,352 100,342 140,346 L380,346 C420,342 446,356 446,384 "
               "C446,418 420,430 380,428 L140,428 C96,430 70,414 70,380 Z", WHITE)
    for x, y in [(120, 372), (190, 396), (260, 372), (330, 398), (392, 376)]:
        b += circle(x, y, 12, GREY_L, 0)
    b += circle(440, 210, 46, WHITE)
    b += circle(428, 198, 12, GREY_L, 0)
    return b


@art("bengala-doce")
def bengala_doce():
    cane = "M196,470 L196,170 C196,90 330,60 346,160 L346,200"
    b = shadow(196, 480, 60)
    b += line(cane, INK, 78)
    b += line(cane, WHITE, 58)
    # stripes clipped by drawing short diagonal strokes along the stick and hook
    stripes = ""
    for y in range(200, 470, 52):
        stripes += fillonly(f"M167,{y + 22} L225,{y - 4} L225,{y + 18} L167,{y + 44} Z", CORAL)
    stripes += fillonly("M167,150 C170,132 178,118 190,108 L214,136 C204,144 198,156 196,166 L167,180 Z", CORAL)
    stripes += fillonly("M234,96 C252,88 270,86 286,88 L280,124 C268,122 256,124 246,130 Z", CORAL)
    stripes += fillonly("M318,104 C330,114 340,128 344,142 L316,158 C314,150 308,140 300,134 Z", CORAL)
    stripes += fillonly("M317,176 L375,172 L375,196 L317,200 Z", CORAL)
    b += stripes
    b += line("M180,460 L180,180 C182,130 210,108 240,100", WHITE, 10, 'stroke-opacity="0.6"')
    # bow of ribbon
    b += shape("M196,330 C150,290 110,310 124,340 C134,362 170,350 196,336 Z", MINT)
    b += shape("M196,330 C242,290 282,310 268,340 C258,362 222,350 196,336 Z", MINT)
    b += shape("M190,336 L160,400 L180,394 L188,414 L198,344 M202,336 L232,400 L212,394 L204,414 L194,344", MINT_D)
    b += circle(196, 334, 15, MINT_D, 8)
    return b
