# The shipped borders, one row each: file name (borders/<name>.svg, shipped as
# bordas/<name>.png), width, height, and the preview's width and height. Written by
# gerar.py together with bordas.txt, whose lines follow the same order.
set(QUADRELA_BORDERS
    "01-classica 1654 2339 160 226"
    "02-certificado 1654 2339 160 226"
    "03-casamento 1654 2339 160 226"
    "04-flores 1654 2339 160 226"
    "05-natal 1240 1754 160 226"
    "06-aniversario 1240 1754 160 226"
    "07-bruxas 1240 1754 160 226"
    "08-infantil 1654 2339 160 226"
    "09-coracoes 1240 1754 160 226"
    "10-estrelas 1654 2339 160 226"
    "11-folhas 1240 1754 160 226"
    "12-arabescos 1654 2339 160 226"
    "13-ondas 1240 1754 160 226"
    "14-empresarial 1900 1085 160 226"
    "15-elegante 1900 1085 160 226"
)
