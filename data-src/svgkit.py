"""Small helpers shared by the scripts that write the data folder's SVG drawings.

The drawings stay within what Qt's SVG renderer draws (SVG Tiny 1.2: shapes, paths,
transforms, linear and radial gradients, "Liberation Sans" text), in the program's palette:
flat colours, a dark ink outline, a lighter highlight and a darker shade per colour.
"""
import math

INK = "#27384a"
WHITE = "#ffffff"
TEAL, TEAL_D, TEAL_L = "#1f7a8c", "#155e6c", "#cde9ee"
CORAL, CORAL_D, CORAL_L = "#ef6351", "#c94a3a", "#f8b4a8"
SUN, SUN_D, SUN_L = "#f5b83d", "#d9961c", "#fbe3a6"
MINT, MINT_D, MINT_L = "#7cc6a4", "#4f9e7b", "#cdeedd"
PINK, PINK_D = "#f2a0b5", "#d66f8c"
PLUM, PLUM_D = "#7d5ba6", "#5b3f82"
BROWN, BROWN_D, BROWN_L = "#b07244", "#8a5430", "#e0b48a"
GREY, GREY_L = "#8a98a6", "#eef3f5"
CREAM, SAND = "#fdf6e8", "#f3e4c6"
GOLD, GOLD_D, GOLD_L = "#e3b23c", "#b8862a", "#f7dc8c"
SW = 10  # outline width in a 512-unit drawing


def header(w, h, vw=None, vh=None):
    vw = w if vw is None else vw
    vh = h if vh is None else vh
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{w}" height="{h}" viewBox="0 0 {vw} {vh}">\n')


def document(w, h, body, vw=None, vh=None):
    return header(w, h, vw, vh) + body.strip("\n") + "\n</svg>\n"


def f(v):
    """A coordinate with at most two decimals and no trailing zeros."""
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


def pts(points):
    return " ".join(f"{f(x)},{f(y)}" for x, y in points)


def polygon_path(points):
    return "M" + " L".join(f"{f(x)},{f(y)}" for x, y in points) + " Z"


def star_points(cx, cy, outer, inner, n=5, rotation=-90.0):
    out = []
    for i in range(2 * n):
        r = outer if i % 2 == 0 else inner
        a = math.radians(rotation + i * 180.0 / n)
        out.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return out


def star(cx, cy, outer, inner=None, n=5, rotation=-90.0):
    inner = outer * 0.42 if inner is None else inner
    return polygon_path(star_points(cx, cy, outer, inner, n, rotation))


def heart(cx, cy, size):
    """A heart whose width is `size`, centred at (cx, cy)."""
    s = size
    def p(x, y):
        return f"{f(cx + x * s)},{f(cy + y * s)}"
    return (f"M{p(0, 0.42)} C{p(-0.16, 0.3)} {p(-0.5, 0.08)} {p(-0.5, -0.16)} "
            f"C{p(-0.5, -0.37)} {p(-0.34, -0.48)} {p(-0.21, -0.48)} "
            f"C{p(-0.1, -0.48)} {p(-0.03, -0.42)} {p(0, -0.33)} "
            f"C{p(0.03, -0.42)} {p(0.1, -0.48)} {p(0.21, -0.48)} "
            f"C{p(0.34, -0.48)} {p(0.5, -0.37)} {p(0.5, -0.16)} "
            f"C{p(0.5, 0.08)} {p(0.16, 0.3)} {p(0, 0.42)} Z")


def leaf(x0, y0, x1, y1, width=0.35):
    """An almond leaf from (x0, y0) to (x1, y1); width relative to its length."""
    dx, dy = x1 - x0, y1 - y0
    nx, ny = -dy * width, dx * width
    c1 = (x0 + dx * 0.3 + nx, y0 + dy * 0.3 + ny)
    c2 = (x0 + dx * 0.75 + nx * 0.8, y0 + dy * 0.75 + ny * 0.8)
    c3 = (x0 + dx * 0.75 - nx * 0.8, y0 + dy * 0.75 - ny * 0.8)
    c4 = (x0 + dx * 0.3 - nx, y0 + dy * 0.3 - ny)
    return (f"M{f(x0)},{f(y0)} C{f(c1[0])},{f(c1[1])} {f(c2[0])},{f(c2[1])} {f(x1)},{f(y1)} "
            f"C{f(c3[0])},{f(c3[1])} {f(c4[0])},{f(c4[1])} {f(x0)},{f(y0)} Z")


def outline(width=SW, color=INK):
    return (f'stroke="{color}" stroke-width="{f(width)}" stroke-linejoin="round" '
            'stroke-linecap="round"')


def shape(d, fill, width=SW, color=INK, extra=""):
    return f'<path d="{d}" fill="{fill}" {outline(width, color)}{(" " + extra) if extra else ""}/>\n'


def fillonly(d, fill, extra=""):
    return f'<path d="{d}" fill="{fill}"{(" " + extra) if extra else ""}/>\n'


def line(d, color=INK, width=SW, extra=""):
    return f'<path d="{d}" fill="none" {outline(width, color)}{(" " + extra) if extra else ""}/>\n'


def circle(cx, cy, r, fill, width=SW, color=INK, extra=""):
    stroke = f' {outline(width, color)}' if width else ""
    return (f'<circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r)}" fill="{fill}"{stroke}'
            f'{(" " + extra) if extra else ""}/>\n')


def ellipse(cx, cy, rx, ry, fill, width=SW, color=INK, extra=""):
    stroke = f' {outline(width, color)}' if width else ""
    return (f'<ellipse cx="{f(cx)}" cy="{f(cy)}" rx="{f(rx)}" ry="{f(ry)}" fill="{fill}"{stroke}'
            f'{(" " + extra) if extra else ""}/>\n')


def rect(x, y, w, h, fill, rx=0, width=SW, color=INK, extra=""):
    stroke = f' {outline(width, color)}' if width else ""
    corner = f' rx="{f(rx)}"' if rx else ""
    return (f'<rect x="{f(x)}" y="{f(y)}" width="{f(w)}" height="{f(h)}"{corner} fill="{fill}"'
            f'{stroke}{(" " + extra) if extra else ""}/>\n')


def group(body, transform):
    return f'<g transform="{transform}">\n{body}</g>\n'


def shadow(cx, cy, rx, ry=None):
    """The soft floor shadow that grounds standing objects."""
    ry = rx * 0.12 if ry is None else ry
    return ellipse(cx, cy, rx, ry, INK, 0, extra='fill-opacity="0.12"')


def shine(d, opacity=0.45):
    """A white highlight shape without outline."""
    return f'<path d="{d}" fill="#ffffff" fill-opacity="{opacity}"/>\n'


def linear_gradient(gid, stops, x1=0, y1=0, x2=0, y2=1):
    s = "".join(f'<stop offset="{f(o)}" stop-color="{c}"/>' for o, c in stops)
    return (f'<linearGradient id="{gid}" x1="{f(x1)}" y1="{f(y1)}" x2="{f(x2)}" y2="{f(y2)}">'
            f'{s}</linearGradient>\n')


def radial_gradient(gid, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None):
    fx = cx if fx is None else fx
    fy = cy if fy is None else fy
    s = "".join(f'<stop offset="{f(o)}" stop-color="{c}"/>' for o, c in stops)
    return (f'<radialGradient id="{gid}" cx="{f(cx)}" cy="{f(cy)}" r="{f(r)}" fx="{f(fx)}" '
            f'fy="{f(fy)}">{s}</radialGradient>\n')


def arc_points(cx, cy, r, a0, a1, n):
    """n + 1 points on a circle from angle a0 to a1 (degrees)."""
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]
