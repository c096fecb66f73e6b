"""Business, office and school cliparts."""
from svgkit import *

ART = {}


def art(name):
    def register(fn):
        ART[name] = fn
        return fn
    return register


@art("maleta")
def maleta():
    b = shadow(256, 458, 210)
    b += shape("M196,150 L196,112 C196,100 206,92 218,92 L294,92 C306,92 316,100 316,112 L316,150 "
               "L290,150 L290,120 L222,120 L222,150 Z", BROWN_D)
    b += rect(56, 146, 400, 300, BROWN, rx=24)
    b += fillonly("M56,250 L456,250 L456,280 L56,280 Z", BROWN_D, 'fill-opacity="0.6"')
    b += rect(56, 146, 400, 300, "none", rx=24)
    b += line("M56,262 L456,262", INK, 8)
    b += line("M110,146 L110,446 M402,146 L402,446", BROWN_D, 8)
    b += rect(224, 236, 64, 52, GOLD, rx=8)
    b += circle(256, 262, 8, INK, 0)
    b += shine("M80,176 C80,160 90,156 104,156 L180,156 C130,166 100,180 88,210 Z", 0.35)
    return b


@art("notebook")
def notebook():
    b = shadow(256, 450, 230)
    b += rect(96, 90, 320, 230, "#3b4d60", rx=18)
    b += rect(118, 110, 276, 190, TEAL_L, rx=4, width=0)
    # a small chart and lines on the screen
    b += rect(140, 130, 110, 70, WHITE, rx=4, width=0)
    b += fillonly("M150,190 L150,170 L170,170 L170,190 Z M180,190 L180,150 L200,150 L200,190 Z M210,190 L210,140 L230,140 L230,190 Z", TEAL)
    b += line("M270,140 L370,140 M270,166 L350,166 M270,192 L370,192 M140,226 L370,226 M140,252 L320,252 M140,278 L350,278", TEAL, 10)
    b += shape("M60,340 L452,340 L478,410 C480,420 472,428 462,428 L50,428 C40,428 32,420 34,410 Z", "#c9d3dc")
    b += fillonly("M96,340 L416,340 L436,388 L76,388 Z", "#b2bfcb")
    b += rect(206, 398, 100, 16, "#a3b0bd", rx=8, width=6)
    b += line("M96,352 L416,352 M90,364 L422,364 M84,376 L428,376", "#dde4ea", 5)
    b += shape("M60,340 L452,340 L478,410 C480,420 472,428 462,428 L50,428 C40,428 32,420 34,410 Z", "none")
    b += circle(256, 100, 4, GREY, 0)
    return b


@art("telefone")
def telefone():
    """Ships as BMP on white."""
    b = shadow(256, 458, 200)
    b += shape("M110,440 L130,250 C134,222 150,210 176,210 L336,210 C362,210 378,222 382,250 L402,440 Z", CORAL)
    b += shape("M72,160 C72,100 150,70 256,70 C362,70 440,100 440,160 L440,190 C440,206 430,214 414,214 "
               "L360,214 C346,214 338,206 338,190 L338,162 C310,150 202,150 174,162 L174,190 "
               "C174,206 166,214 152,214 L98,214 C82,214 72,206 72,190 Z", CORAL_D)
    b += shine("M100,150 C110,110 170,92 240,88 C170,104 130,122 116,160 Z", 0.35)
    b += circle(256, 330, 78, CREAM)
    for i in range(10):
        a = math.radians(-90 + i * 30)
        b += circle(256 + 54 * math.cos(a), 330 + 54 * math.sin(a), 11, WHITE, 5)
    b += circle(256, 330, 24, CORAL_D, 6)
    return b


@art("grafico")
def grafico():
    """Ships as BMP on white."""
    b = rect(60, 60, 392, 392, WHITE, rx=20, width=8, color="#c9d3dc")
    b += line("M110,100 L110,400 L420,400", INK, 10)
    b += line("M110,340 L420,340 M110,280 L420,280 M110,220 L420,220 M110,160 L420,160", GREY_L, 4)
    for i, (h, c) in enumerate([(90, TEAL_L), (150, MINT), (120, SUN), (220, CORAL)]):
        x = 140 + i * 70
        b += rect(x, 400 - h, 46, h, c, rx=4, width=8)
    b += line("M150,300 L220,240 L290,270 L380,140", TEAL_D, 12)
    b += shape("M352,130 L396,122 L388,166 Z", TEAL_D, 8)
    for x, y in [(150, 300), (220, 240), (290, 270)]:
        b += circle(x, y, 12, WHITE, 8, TEAL_D)
    return b


@art("caneta")
def caneta():
    """Ships as BMP on white."""
    b = line("M80,440 C140,400 180,470 240,430 C280,404 300,440 330,430", TEAL, 10)
    g = rect(226, 70, 60, 300, TEAL, rx=12)
    g += rect(226, 70, 20, 300, "#4a98a8", rx=10, width=0)
    g += rect(226, 70, 60, 300, "none", rx=12)
    g += rect(222, 60, 68, 90, TEAL_D, rx=14)
    g += rect(278, 80, 14, 120, GOLD, rx=7, width=7)
    g += rect(226, 300, 60, 18, GOLD, width=7)
    g += shape("M226,318 L286,318 L272,380 L256,410 L240,380 Z", CREAM)
    g += shape("M246,380 L266,380 L256,410 Z", INK, 6)
    b += group(g, "rotate(35 256 256)")
    return b


@art("capelo")
def capelo():
    b = shadow(256, 450, 150)
    b += shape("M140,230 L140,360 C140,400 372,400 372,360 L372,230 Z", "#3b4d60")
    b += fillonly("M150,240 L150,350 C170,372 210,380 240,382 L240,250 Z", WHITE, 'fill-opacity="0.12"')
    b += shape("M256,100 L480,200 L256,300 L32,200 Z", "#3b4d60")
    b += fillonly("M256,110 L460,200 L256,290 Z", INK, 'fill-opacity="0.35"')
    b += shape("M256,100 L480,200 L256,300 L32,200 Z", "none")
    b += line("M256,200 C330,200 390,220 410,250 L410,360", SUN, 9)
    b += shape("M396,350 L424,350 L432,420 L388,420 Z", SUN, 7)
    b += line("M398,380 L400,420 M410,380 L410,420 M420,380 L420,420", SUN_D, 4)
    b += circle(256, 200, 16, SUN, 7)
    return b


@art("trofeu")
def trofeu():
    b = shadow(256, 478, 150)
    defs = "<defs>" + linear_gradient("taca", [(0, GOLD_L), (0.45, GOLD), (1, GOLD_D)], 0, 0, 1, 0) + "</defs>\n"
    b += defs
    b += line("M150,120 C70,110 60,220 170,250 M362,120 C442,110 452,220 342,250", INK, 34)
    b += line("M150,120 C70,110 60,220 170,250 M362,120 C442,110 452,220 342,250", GOLD, 16)
    b += shape("M136,80 L376,80 L370,170 C362,260 310,300 256,304 C202,300 150,260 142,170 Z", "url(#taca)")
    b += shape("M228,300 L284,300 L290,360 L222,360 Z", GOLD_D)
    b += rect(176, 356, 160, 40, GOLD, rx=8)
    b += rect(150, 396, 212, 70, "#3b4d60", rx=10)
    b += rect(206, 414, 100, 34, GOLD_L, rx=4, width=6)
    b += shape(star(256, 178, 54, 24), WHITE, 8)
    b += shine("M164,96 L196,96 C196,180 210,240 236,280 C190,260 166,200 164,96 Z", 0.4)
    return b


@art("medalha")
def medalha():
    b = shape("M150,30 L230,30 L300,230 L220,230 Z", TEAL)
    b += shape("M362,30 L282,30 L212,230 L292,230 Z", CORAL)
    b += fillonly("M176,30 L204,30 L266,210 L244,210 Z", WHITE, 'fill-opacity="0.35"')
    # seal rim with scallops
    scallop = ""
    n = 24
    for i in range(n):
        a0 = math.radians(i * 360 / n)
        a1 = math.radians((i + 1) * 360 / n)
        am = (a0 + a1) / 2
        if i == 0:
            scallop += f"M{f(256 + 150 * math.cos(a0))},{f(330 + 150 * math.sin(a0))} "
        scallop += (f"Q{f(256 + 176 * math.cos(am))},{f(330 + 176 * math.sin(am))} "
                    f"{f(256 + 150 * math.cos(a1))},{f(330 + 150 * math.sin(a1))} ")
    b += shape(scallop + "Z", GOLD)
    b += circle(256, 330, 118, GOLD_L)
    b += circle(256, 330, 100, "none", 6, GOLD_D)
    b += shape(star(256, 334, 70, 30), GOLD, 8)
    b += shine("M170,300 C180,250 220,224 260,220 C224,240 196,266 184,310 Z", 0.55)
    return b


@art("diploma")
def diploma():
    """Drawn on a rounded tile: it ships as JPEG."""
    b = rect(16, 16, 480, 480, SUN_L, rx=56, width=0)
    b += rect(16, 16, 480, 480, "none", rx=56, width=12, color=SUN_D)
    g = shape("M100,170 L412,170 L412,340 L100,340 Z", CREAM)
    g += shape("M70,150 C70,130 100,130 110,150 L110,350 C100,370 70,370 70,350 Z", SAND)
    g += shape("M402,150 C412,130 442,130 442,150 L442,350 C442,370 412,370 402,350 Z", SAND)
    g += line("M150,210 L360,210 M150,250 L330,250 M150,290 L300,290", GREY, 10)
    g += rect(160, 160, 10, 190, CORAL, width=0)
    g += line("M330,290 C340,310 340,350 320,400 M350,290 C360,320 370,350 380,400", CORAL, 16)
    g += circle(340, 290, 38, CORAL_D)
    g += fillonly(star(340, 292, 20, 9), SUN)
    b += group(g, "rotate(-12 256 256)")
    return b
