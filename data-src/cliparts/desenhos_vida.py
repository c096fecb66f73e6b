"""Children, love and nature cliparts."""
from svgkit import *

ART = {}


def art(name):
    def register(fn):
        ART[name] = fn
        return fn
    return register


@art("ursinho")
def ursinho():
    b = shadow(256, 482, 150)
    # legs, body, arms
    b += ellipse(176, 430, 56, 44, BROWN)
    b += ellipse(336, 430, 56, 44, BROWN)
    b += ellipse(176, 436, 30, 24, BROWN_L, 0)
    b += ellipse(336, 436, 30, 24, BROWN_L, 0)
    b += ellipse(256, 360, 110, 100, BROWN)
    b += ellipse(256, 376, 62, 60, BROWN_L, 0)
    b += group(ellipse(140, 330, 34, 62, BROWN), "rotate(35 140 330)")
    b += group(ellipse(372, 330, 34, 62, BROWN), "rotate(-35 372 330)")
    # head
    b += circle(160, 110, 44, BROWN)
    b += circle(352, 110, 44, BROWN)
    b += circle(160, 110, 22, BROWN_L, 0)
    b += circle(352, 110, 22, BROWN_L, 0)
    b += ellipse(256, 190, 120, 106, BROWN)
    b += ellipse(256, 226, 56, 42, BROWN_L)
    b += ellipse(256, 206, 20, 14, INK, 0)
    b += line("M256,220 L256,240 M236,248 C246,258 256,254 256,240 C256,254 266,258 276,248", INK, 7)
    b += circle(212, 170, 13, INK, 0)
    b += circle(300, 170, 13, INK, 0)
    b += circle(216, 166, 4, WHITE, 0)
    b += circle(304, 166, 4, WHITE, 0)
    b += ellipse(186, 220, 16, 10, PINK, 0, extra='fill-opacity="0.8"')
    b += ellipse(326, 220, 16, 10, PINK, 0, extra='fill-opacity="0.8"')
    # bow tie
    b += shape("M256,290 L206,266 L206,314 Z M256,290 L306,266 L306,314 Z", CORAL, 8)
    b += circle(256, 290, 14, CORAL_D, 8)
    b += shape(heart(256, 388, 50), CORAL, 6)
    return b


@art("pipa")
def pipa():
    b = ""
    b += line("M256,420 C230,450 300,470 280,500", INK, 5)
    for x, y, r in [(250, 446, -30), (276, 474, 20)]:
        b += group(shape("M0,0 L-18,-14 L-18,14 Z M0,0 L18,-14 L18,14 Z", CORAL, 5), f"translate({x},{y}) rotate({r})")
    b += line("M256,420 C200,460 120,440 60,500", INK, 4, 'stroke-dasharray="2,10"')
    kite = "M256,40 L400,190 L256,420 L112,190 Z"
    b += fillonly("M256,40 L400,190 L256,190 Z", CORAL)
    b += fillonly("M256,40 L112,190 L256,190 Z", SUN)
    b += fillonly("M112,190 L256,420 L256,190 Z", TEAL)
    b += fillonly("M400,190 L256,420 L256,190 Z", MINT)
    b += line("M256,40 L256,420 M112,190 L400,190", INK, 7)
    b += shape(kite, "none")
    b += circle(256, 190, 12, WHITE, 6)
    return b


@art("blocos-brinquedo")
def blocos_brinquedo():
    def block(x, y, s, c, cd, letter, tc):
        g = shape(f"M{x},{y} L{x + s * 0.3},{y - s * 0.22} L{x + s * 1.3},{y - s * 0.22} L{x + s},{y} Z", c)
        g += shape(f"M{x + s},{y} L{x + s * 1.3},{y - s * 0.22} L{x + s * 1.3},{y + s * 0.78} L{x + s},{y + s} Z", cd)
        g += rect(x, y, s, s, c, rx=6)
        g += rect(x + 14, y + 14, s - 28, s - 28, WHITE, rx=10, width=0, extra='fill-opacity="0.9"')
        g += (f'<text x="{f(x + s / 2)}" y="{f(y + s * 0.72)}" font-family="Liberation Sans" '
              f'font-size="{f(s * 0.6)}" font-weight="bold" fill="{tc}" text-anchor="middle">{letter}</text>\n')
        return g
    b = shadow(256, 470, 220)
    b += block(60, 300, 150, CORAL, CORAL_D, "A", CORAL_D)
    b += block(240, 300, 150, TEAL, TEAL_D, "B", TEAL_D)
    b += block(150, 120, 150, SUN, SUN_D, "C", SUN_D)
    return b


def sun_face(cx, cy, r):
    b = ""
    for i in range(12):
        a = i * 30
        b += group(shape(f"M{cx - 22},{cy - r - 10} L{cx},{cy - r - 66} L{cx + 22},{cy - r - 10} Z", SUN_D if i % 2 else SUN, 8),
                   f"rotate({a} {cx} {cy})")
    b += circle(cx, cy, r, SUN)
    b += circle(cx - 14, cy - 14, r - 26, SUN_L, 0, extra='fill-opacity="0.45"')
    b += line(f"M{cx - 58},{cy - 14} Q{cx - 40},{cy - 34} {cx - 22},{cy - 14} M{cx + 22},{cy - 14} Q{cx + 40},{cy - 34} {cx + 58},{cy - 14}", INK, 9)
    b += ellipse(cx - 70, cy + 24, 20, 12, CORAL, 0, extra='fill-opacity="0.6"')
    b += ellipse(cx + 70, cy + 24, 20, 12, CORAL, 0, extra='fill-opacity="0.6"')
    b += shape(f"M{cx - 50},{cy + 22} Q{cx},{cy + 82} {cx + 50},{cy + 22} Z", CORAL_D, 8)
    b += fillonly(f"M{cx - 22},{cy + 48} Q{cx},{cy + 40} {cx + 22},{cy + 48} Q{cx},{cy + 64} {cx - 22},{cy + 48} Z", PINK)
    return b


@art("sol-sorridente")
def sol_sorridente():
    """Drawn on a rounded sky tile: it ships as JPEG."""
    defs = "<defs>" + linear_gradient("ceu", [(0, "#8fd0dc"), (1, TEAL_L)]) + "</defs>\n"
    b = defs + rect(16, 16, 480, 480, "url(#ceu)", rx=56, width=0)
    b += ellipse(120, 430, 90, 34, WHITE, 0)
    b += ellipse(180, 416, 70, 40, WHITE, 0)
    b += ellipse(400, 440, 80, 30, WHITE, 0)
    b += sun_face(256, 236, 120)
    b += rect(16, 16, 480, 480, "none", rx=56, width=12, color=TEAL_D)
    return b


@art("arco-iris")
def arco_iris():
    """Drawn on a rounded tile: it ships as JPEG."""
    b = rect(16, 16, 480, 480, "#eaf6f8", rx=56, width=0)
    colours = [CORAL, "#f08a3a", SUN, MINT, TEAL, PLUM]
    for i, c in enumerate(colours):
        r = 180 - i * 22
        b += f'<path d="M{256 - r},360 A{r},{r} 0 0 1 {256 + r},360" fill="none" stroke="{c}" stroke-width="23"/>\n'
    b += f'<path d="M{256 - 192},360 A192,192 0 0 1 {256 + 192},360" fill="none" stroke="{INK}" stroke-width="6"/>\n'
    b += f'<path d="M{256 - 58},360 A58,58 0 0 1 {256 + 58},360" fill="none" stroke="{INK}" stroke-width="6"/>\n'
    for cx in (110, 402):
        b += ellipse(cx, 372, 60, 34, WHITE, 9)
        b += circle(cx - 28, 352, 28, WHITE, 9)
        b += circle(cx + 16, 342, 36, WHITE, 9)
        b += ellipse(cx, 380, 56, 26, WHITE, 0)
        b += circle(cx - 26, 356, 20, WHITE, 0)
        b += circle(cx + 16, 348, 28, WHITE, 0)
    for x, y in [(120, 110), (400, 100), (256, 60)]:
        b += fillonly(star(x, y, 22, 6, 4), SUN)
    b += rect(16, 16, 480, 480, "none", rx=56, width=12, color=TEAL_D)
    return b


@art("coracoes")
def coracoes():
    b = shape(heart(190, 230, 300), CORAL)
    b += shine("M80,170 C86,120 130,100 160,116 C126,122 104,146 96,186 Z", 0.6)
    b += shape(heart(350, 330, 230), PINK)
    b += shine("M268,290 C272,254 304,240 326,252 C300,258 286,274 280,302 Z", 0.6)
    b += shape(heart(390, 120, 110), CORAL_D, 8)
    b += fillonly(star(100, 420, 24, 6, 4), SUN)
    b += fillonly(star(460, 230, 18, 5, 4), SUN)
    return b


@art("rosa")
def rosa():
    b = line("M256,250 C250,330 266,400 256,490", MINT_D, 16)
    b += line("M256,250 C250,330 266,400 256,490", MINT, 6)
    b += shape(leaf(258, 360, 150, 320, 0.34), MINT)
    b += line("M258,360 L180,330", MINT_D, 5)
    b += shape(leaf(258, 420, 370, 380, 0.34), MINT)
    b += line("M258,420 L344,390", MINT_D, 5)
    # the bloom: outer petals, a cup and an inner spiral
    b += shape("M256,274 C170,280 130,220 140,150 C170,170 190,160 210,140 C236,160 276,160 302,140 "
               "C322,160 342,170 372,150 C382,220 342,280 256,274 Z", CORAL)
    b += shape("M170,160 C170,90 220,60 256,60 C292,60 342,90 342,160 C320,200 192,200 170,160 Z", CORAL)
    b += fillonly("M256,274 C200,270 170,230 168,190 C200,230 312,230 344,190 C342,230 312,270 256,274 Z", CORAL_D)
    b += shape("M200,150 C200,110 230,96 256,96 C284,96 312,112 312,150 C296,176 216,176 200,150 Z", CORAL_L)
    b += line("M230,140 C230,120 250,112 266,118 C280,124 280,142 264,146", CORAL_D, 8)
    b += line("M170,160 C192,200 320,200 342,160", CORAL_D, 8)
    return b


@art("envelope-coracao")
def envelope_coracao():
    b = shadow(256, 430, 200)
    b += rect(60, 150, 392, 260, CREAM, rx=14)
    b += fillonly("M66,404 L256,270 L446,404 Z", SAND)
    b += line("M66,404 L230,290 M446,404 L282,290", INK, 8)
    b += shape("M60,164 L256,300 L452,164 C452,154 444,150 438,150 L74,150 C66,150 60,154 60,164 Z", WHITE)
    b += rect(60, 150, 392, 260, "none", rx=14)
    b += shape(heart(256, 290, 130), CORAL)
    b += shine("M212,262 C214,242 232,234 246,240 C230,246 222,256 218,272 Z", 0.7)
    for x, y, s in [(390, 100, 60), (440, 60, 36), (110, 110, 40)]:
        b += shape(heart(x, y, s), PINK, 6)
    return b


def flower_head(cx, cy, r, petal, centre, n=8):
    g = ""
    for i in range(n):
        g += group(ellipse(cx, cy - r * 0.62, r * 0.34, r * 0.5, petal, 8), f"rotate({i * 360 / n} {cx} {cy})")
    g += circle(cx, cy, r * 0.36, centre, 8)
    g += circle(cx - r * 0.1, cy - r * 0.1, r * 0.12, WHITE, 0, extra='fill-opacity="0.5"')
    return g


@art("flor")
def flor():
    b = line("M256,300 C256,380 246,430 256,492", MINT_D, 16)
    b += shape(leaf(254, 420, 140, 370, 0.34), MINT)
    b += shape(leaf(256, 450, 372, 396, 0.34), MINT)
    b += line("M254,420 L176,388 M256,450 L340,412", MINT_D, 5)
    b += flower_head(256, 196, 150, PINK, SUN, 10)
    return b


@art("tulipa")
def tulipa():
    b = line("M256,250 L256,490", MINT_D, 16)
    b += shape("M256,490 C200,440 150,380 150,300 C200,330 240,400 256,470 Z", MINT)
    b += shape("M256,490 C312,430 352,370 372,280 C320,320 276,380 262,450 Z", MINT)
    b += shape("M150,130 C150,210 180,270 256,270 C332,270 362,210 362,130 L310,170 L256,90 L202,170 Z", CORAL)
    b += fillonly("M202,170 L256,90 L310,170 C300,220 280,260 256,270 C232,260 212,220 202,170 Z", CORAL_D)
    b += shape("M150,130 C150,210 180,270 256,270 C332,270 362,210 362,130 L310,170 L256,90 L202,170 Z", "none")
    b += shine("M172,160 C174,200 190,236 214,252 C190,226 182,196 182,166 Z", 0.5)
    return b


@art("folha")
def folha():
    b = shape("M70,450 C60,300 140,110 440,60 C460,300 320,460 70,450 Z", MINT)
    b += fillonly("M70,450 C170,340 300,200 440,60 C460,300 320,460 70,450 Z", MINT_D, 'fill-opacity="0.55"')
    b += shape("M70,450 C60,300 140,110 440,60 C460,300 320,460 70,450 Z", "none")
    b += line("M40,480 C140,360 280,200 440,60 M190,320 L170,210 M250,250 L250,150 M310,186 L330,110 "
              "M190,320 L300,320 M250,250 L360,250 M310,186 L400,176", INK, 8)
    return b


@art("arvore")
def arvore():
    """Drawn on a rounded meadow tile: it ships as JPEG."""
    defs = "<defs>" + linear_gradient("campo", [(0, "#eaf6f8"), (0.72, TEAL_L), (0.72, MINT_L), (1, MINT)]) + "</defs>\n"
    b = defs + rect(16, 16, 480, 480, "url(#campo)", rx=56, width=0)
    b += ellipse(256, 440, 150, 20, MINT_D, 0, extra='fill-opacity="0.5"')
    b += shape("M230,440 C236,380 236,330 226,290 L200,260 L222,258 L242,280 L250,230 L270,230 L268,290 "
               "L300,256 L316,266 L280,310 C276,360 280,400 290,440 Z", BROWN)
    for cx, cy, r, c in [(170, 210, 80, MINT_D), (340, 210, 80, MINT_D), (256, 150, 100, MINT), (190, 140, 70, MINT),
                         (320, 140, 70, MINT), (256, 240, 80, MINT)]:
        b += circle(cx, cy, r, c)
    b += circle(256, 150, 100, MINT, 0)
    b += circle(256, 240, 80, MINT, 0)
    b += circle(190, 140, 62, MINT, 0)
    b += circle(320, 140, 62, MINT, 0)
    for x, y in [(200, 120), (300, 190), (240, 240), (330, 110), (170, 220), (270, 100)]:
        b += circle(x, y, 13, CORAL, 6)
    b += rect(16, 16, 480, 480, "none", rx=56, width=12, color=TEAL_D)
    return b


@art("borboleta")
def borboleta():
    b = ""
    wing_up = "M250,240 C200,120 120,40 70,80 C20,120 60,230 250,260 Z"
    wing_down = "M250,270 C120,270 60,340 90,410 C120,460 210,420 250,290 Z"
    for flip in (False, True):
        g = shape(wing_up, CORAL) + shape(wing_down, SUN)
        g += circle(130, 130, 30, SUN, 7) + circle(150, 360, 22, CORAL, 7)
        g += circle(190, 190, 14, WHITE, 0) + circle(110, 200, 10, WHITE, 0)
        if flip:
            g = group(g, "translate(512,0) scale(-1,1)")
        b += g
    b += ellipse(256, 270, 16, 120, INK, 0)
    b += circle(256, 146, 22, INK, 0)
    b += line("M250,130 C240,90 220,70 200,60 M262,130 C272,90 292,70 312,60", INK, 7)
    b += circle(200, 60, 9, INK, 0) + circle(312, 60, 9, INK, 0)
    return b


@art("passaro")
def passaro():
    b = line("M80,430 L440,430", BROWN, 20)
    b += line("M80,430 L440,430", BROWN_L, 6)
    b += shape(leaf(380, 430, 460, 380, 0.3), MINT)
    b += shape("M130,300 L40,260 L60,320 L30,350 Z", TEAL_D)
    b += ellipse(256, 290, 150, 120, TEAL)
    b += fillonly("M150,330 C200,410 330,410 380,330 C340,380 180,380 150,330 Z", TEAL_D)
    b += ellipse(280, 330, 90, 60, TEAL_L, 0)
    b += shape("M160,280 C200,220 290,230 300,290 C260,330 190,330 160,280 Z", TEAL_D)
    b += circle(340, 220, 70, TEAL)
    b += circle(360, 208, 12, INK, 0) + circle(364, 204, 4, WHITE, 0)
    b += shape("M404,220 L460,236 L404,252 Z", SUN, 8)
    b += line("M230,406 L220,430 M290,406 L300,430", SUN_D, 9)
    return b
