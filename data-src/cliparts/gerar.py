#!/usr/bin/env python3
"""Writes the clipart drawings (*.svg beside this script) from the desenhos_*.py modules.

The SVG files are the sources the build renders; this script is how they were drawn. Run it
after changing a drawing: python3 gerar.py
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.path.insert(0, HERE)

from svgkit import document  # noqa: E402
import desenhos_enfeites  # noqa: E402
import desenhos_escritorio  # noqa: E402
import desenhos_festas  # noqa: E402
import desenhos_natal  # noqa: E402
import desenhos_vida  # noqa: E402

MODULES = [desenhos_natal, desenhos_festas, desenhos_vida, desenhos_escritorio, desenhos_enfeites]


def main():
    for module in MODULES:
        for name, draw in module.ART.items():
            body = draw()
            width, height = 512, 512
            if isinstance(body, tuple):
                body, width, height = body
            with open(os.path.join(HERE, name + ".svg"), "w", encoding="utf-8", newline="\n") as out:
                out.write(document(width, height, body))


if __name__ == "__main__":
    main()
