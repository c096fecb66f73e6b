"""The design table of the shipped templates, read by make_templates.py.

Coordinates are page pixels. A folded card is 541 × 382: its front is the left half
(x 0 .. 270, centre FX) and its inside the right half (x 271 .. 541, centre IX). A full page
is 496 × 702 (centre PX), a business card 380 × 217 (centre VX).

Items are listed back to front. A border covers the page, or one half of a folded card
(inside=True for the inside). A picture is placed by its centre x, its top and its size. A
text is placed by its centre x (cx), its left edge (x) or its right edge (right), and by its
top (y) or by the gap below the item before it (below). Fonts are those every system has
under these names (on Linux fontconfig gives metric-compatible faces), so a design lays out
the same everywhere.
"""
from dataclasses import dataclass, field
from typing import List, Optional

# Page layout codes, as the catalogue and the project record write them.
FULL, FOLDED, CARD = 1, 2, 3

FX, IX = 135, 406  # centres of the front and the inside of a folded card
PX = 248           # centre of a full page
VX = 190           # centre of a business card

SERIF = "Times New Roman"
SANS = "Arial"
MONO = "Courier New"


@dataclass
class Category:
    key: str
    caption: str
    prefix: str
    layout: int


@dataclass
class Border:
    name: str
    inside: bool = False


@dataclass
class Picture:
    name: str
    cx: int
    y: int
    w: int
    h: int


@dataclass
class Text:
    text: str
    size: int
    colour: str = "preto"
    style: str = "normal"
    font: str = SERIF
    align: str = "centro"
    cx: Optional[int] = None
    x: Optional[int] = None
    right: Optional[int] = None
    y: Optional[int] = None
    below: int = 0
    measured: tuple = (0, 0)


@dataclass
class Template:
    prefix: str
    number: int
    layout: int
    items: List[object] = field(default_factory=list)

    @property
    def name(self):
        return "%s0%d" % (self.prefix, self.number)


def border(name, inside=False):
    return Border(name, inside)


def pic(name, cx, y, w, h=None):
    return Picture(name, cx, y, w, w if h is None else h)


def text(words, size, colour="preto", style="normal", font=SERIF, align=None, cx=None, x=None,
         right=None, y=None, below=0):
    if align is None:
        align = "centro" if cx is not None else ("direita" if right is not None else "esquerda")
    return Text(words, size, colour, style, font, align, cx, x, right, y, below)


CATEGORIES = [
    Category("C0", "Cartões de Agradecimento", "agradecimento", FOLDED),
    Category("C1", "Cartões de Amizade", "amizade", FOLDED),
    Category("C2", "Cartões de Aniversário", "aniversario", FOLDED),
    Category("C3", "Cartões de Desculpas", "desculpas", FOLDED),
    Category("C4", "Cartões de Dia das Bruxas", "bruxas", FOLDED),
    Category("C5", "Cartões de Dia das Crianças", "criancas", FOLDED),
    Category("C6", "Cartões de Dia das Mães", "maes", FOLDED),
    Category("C7", "Cartões de Dia dos Namorados", "namorados", FOLDED),
    Category("C8", "Cartões de Dia dos Pais", "pais", FOLDED),
    Category("C9", "Cartões de Natal", "natal", FOLDED),
    Category("C10", "Cartões de Saudades", "saudades", FOLDED),
    Category("C11", "Convites de 15 anos", "quinze", FOLDED),
    Category("C12", "Convites de Aniversário", "festa", FOLDED),
    Category("C13", "Convites de Casamento", "casamento", FOLDED),
    Category("C14", "Convites de Dia das Bruxas", "assombrada", FOLDED),
    Category("C15", "Participação", "participacao", FOLDED),
    Category("C16", "Pôsteres", "poster", FULL),
    Category("E0", "Cartões de Visita", "visita", CARD),
    Category("E1", "Anúncios de compra/venda", "anuncio", FULL),
    Category("E2", "Comunicados", "comunicado", FULL),
    Category("E3", "Certificados", "certificado", FULL),
    Category("E4", "Currículos", "curriculo", FULL),
    Category("E5", "Diplomas", "diploma", FULL),
    Category("E6", "Panfletos", "panfleto", FULL),
    Category("E7", "Papel timbrado", "timbrado", FULL),
]

TEMPLATES = []


def folded(prefix, number, front, inside):
    TEMPLATES.append(Template(prefix, number, FOLDED, front + inside))


def full(prefix, number, items):
    TEMPLATES.append(Template(prefix, number, FULL, items))


def card(prefix, number, items):
    TEMPLATES.append(Template(prefix, number, CARD, items))


# ---------------------------------------------------------------------------------------
# Greeting cards (folded): the front carries the picture and the title, the inside the
# message and room for a signature.

# C0 Agradecimento
folded("agradecimento", 1, [
    border("04-flores"),
    pic("flor", FX, 52, 130),
    text("Obrigado!", 30, "marrom", "negrito-italico", cx=FX, below=14),
    text("por tudo", 16, "verde", "italico", cx=FX, below=2),
], [
    text("Muito obrigado pelo carinho\ne pela atenção.\n\nSua gentileza fez\ntoda a diferença!",
         14, "marrom", "italico", cx=IX, y=70),
    pic("rosa", IX, 215, 70),
    text("Com gratidão,\nSeu nome", 12, "verde", "italico", cx=IX, below=8),
])
folded("agradecimento", 2, [
    border("11-folhas"),
    text("Muito", 24, "oliva", "negrito-italico", cx=FX, y=48),
    text("Obrigada", 30, "marrom", "negrito-italico", cx=FX, below=-6),
    pic("tulipa", FX, 140, 120),
    text("de coração", 16, "oliva", "italico", cx=FX, below=8),
], [
    border("11-folhas", inside=True),
    pic("folha", IX, 50, 60),
    text("Agradeço de coração\npor tudo o que\nvocê fez por mim.", 15, "marrom", "italico",
         cx=IX, below=14),
    text("Você é especial!", 16, "oliva", "negrito-italico", cx=IX, below=14),
    text("Um abraço,\nSeu nome", 12, "preto", "italico", cx=IX, below=16),
])

# C1 Amizade
folded("amizade", 1, [
    border("13-ondas"),
    pic("pipa", FX, 62, 120),
    text("Amigos\npara sempre", 26, "marinho", "negrito-italico", cx=FX, below=12),
], [
    text("Obrigado por estar\nsempre ao meu lado,\nnos dias de sol\ne nos dias de chuva.", 15,
         "petroleo", "italico", cx=IX, y=70),
    text("Conte sempre comigo!", 15, "marinho", "negrito", cx=IX, below=18),
    text("Seu amigo,\nSeu nome", 12, "preto", "italico", cx=IX, below=24),
])
folded("amizade", 2, [
    border("04-flores"),
    text("Você é um", 20, "verde", "italico", cx=FX, y=44),
    text("grande amigo!", 24, "roxo", "negrito-italico", cx=FX, below=0),
    pic("borboleta", FX - 38, 150, 100),
    pic("passaro", FX + 48, 205, 80),
], [
    border("04-flores", inside=True),
    text("Amizade verdadeira\nnão se mede pelo tempo,\nmas pelo cuidado\nque temos um\ncom o outro.",
         14, "roxo", "italico", cx=IX, y=64),
    pic("flor", IX, 212, 56),
    text("Com carinho,\nSeu nome", 12, "verde", "italico", cx=IX, below=10),
])

# C2 Aniversário
folded("aniversario", 1, [
    border("06-aniversario"),
    pic("bolo-aniversario", FX, 86, 120),
    text("Feliz\nAniversário!", 26, "vermelho", "negrito", font=SANS, cx=FX, below=8),
], [
    text("Que o seu novo ano\nseja cheio de alegria,\nsaúde e muitas\nconquistas!", 15, "azul",
         "italico", cx=IX, y=58),
    text("Parabéns!", 24, "fucsia", "negrito", font=SANS, cx=IX, below=14),
    pic("baloes", IX, 250, 80),
])
folded("aniversario", 2, [
    text("Parabéns!", 32, "roxo", "negrito", font=SANS, cx=FX, y=56),
    pic("confete", FX, 112, 160),
    pic("baloes", FX, 140, 150),
    text("pra você", 18, "fucsia", "negrito-italico", font=SANS, cx=FX, below=6),
], [
    border("06-aniversario", inside=True),
    text("Hoje o dia é seu!", 18, "roxo", "negrito", font=SANS, cx=IX, y=84),
    text("Desejo muitas felicidades\ne que todos os seus\nsonhos se realizem.", 14, "azul",
         "italico", cx=IX, below=12),
    pic("presente", IX, 226, 64),
    text("Com carinho,\nSeu nome", 12, "preto", "italico", cx=IX, below=4),
])

# C3 Desculpas
folded("desculpas", 1, [
    border("09-coracoes"),
    pic("envelope-coracao", FX, 66, 120),
    text("Me desculpe", 26, "marrom", "negrito-italico", cx=FX, below=16),
], [
    text("Sei que errei\ne sinto muito.\n\nVocê é importante\npara mim.", 16, "marrom",
         "italico", cx=IX, y=64),
    text("Podemos recomeçar?", 16, "vermelho", "negrito-italico", cx=IX, below=16),
    text("Seu nome", 12, "preto", "italico", cx=IX, below=26),
])
folded("desculpas", 2, [
    border("01-classica"),
    text("Perdão", 36, "marinho", "italico", cx=FX, y=54),
    pic("rosa", FX, 124, 120),
    text("por favor, me perdoe", 15, "petroleo", "italico", cx=FX, below=12),
], [
    border("01-classica", inside=True),
    text("Peço desculpas\npelo que aconteceu.\n\nNossa amizade vale\nmuito mais do que\n"
         "qualquer desentendimento.", 14, "marinho", "italico", cx=IX, y=70),
    text("Com sinceridade,\nSeu nome", 12, "petroleo", "italico", cx=IX, below=22),
])

# C4 Dia das Bruxas
folded("bruxas", 1, [
    border("07-bruxas"),
    pic("abobora", FX, 64, 120),
    text("Feliz Dia\ndas Bruxas!", 24, "roxo", "negrito", font=SANS, cx=FX, below=10),
], [
    pic("fantasma", IX, 42, 90),
    text("Que sua noite seja\ncheia de sustos\ndivertidos e\nmuitos doces!", 15, "roxo",
         "italico", cx=IX, below=12),
    text("Doces ou travessuras?", 13, "oliva", "negrito", font=SANS, cx=IX, below=14),
])
folded("bruxas", 2, [
    pic("teia-aranha", 228, 6, 70),
    text("Noite das\nBruxas", 28, "roxo", "negrito-italico", cx=FX, y=74),
    pic("chapeu-bruxa", FX, 170, 130),
    pic("morcego", 56, 306, 56),
], [
    border("07-bruxas", inside=True),
    text("Cuidado com\nos fantasmas!", 20, "roxo", "negrito", font=SANS, cx=IX, y=64),
    text("Boas travessuras\ne ótimos doces\nneste 31 de outubro.", 14, "oliva", "italico",
         cx=IX, below=14),
    pic("abobora", IX, 246, 64),
])

# C5 Dia das Crianças
folded("criancas", 1, [
    border("08-infantil"),
    pic("blocos-brinquedo", FX - 40, 70, 90),
    pic("ursinho", FX + 44, 62, 100),
    text("Feliz Dia\ndas Crianças!", 24, "azul", "negrito", font=SANS, cx=FX, below=16),
], [
    pic("arco-iris", IX, 36, 100),
    text("Brincar, sorrir\ne sonhar:", 16, "vermelho", "negrito", font=SANS, cx=IX, below=12),
    text("que o seu dia seja\ncheio de diversão!", 15, "azul", "italico", cx=IX, below=6),
    text("Com carinho,\nSeu nome", 12, "preto", "italico", cx=IX, below=14),
])
folded("criancas", 2, [
    pic("sol-sorridente", FX, 30, 110),
    text("Viva a\ncriançada!", 28, "vermelho", "negrito", font=SANS, cx=FX, below=10),
    pic("pipa", FX, 250, 90),
], [
    border("13-ondas", inside=True),
    text("12 de outubro", 18, "azul", "negrito", font=SANS, cx=IX, y=70),
    text("Para a criança mais\nespecial do mundo,\num dia cheio de alegria\ne brincadeiras!", 14,
         "petroleo", "italico", cx=IX, below=12),
    pic("baloes", IX, 232, 70),
])

# C6 Dia das Mães
folded("maes", 1, [
    border("04-flores"),
    pic("rosa", FX, 54, 130),
    text("Feliz Dia\ndas Mães", 28, "fucsia", "negrito-italico", cx=FX, below=8),
], [
    text("Mãe, obrigado por\ncada abraço, cada\nconselho e por todo\no seu amor.", 15, "marrom",
         "italico", cx=IX, y=70),
    text("Te amo!", 22, "fucsia", "negrito-italico", cx=IX, below=14),
    pic("coracoes", IX, 268, 56),
])
folded("maes", 2, [
    border("09-coracoes"),
    text("Para a melhor\nmãe do mundo", 22, "roxo", "negrito-italico", cx=FX, y=48),
    pic("tulipa", FX - 34, 160, 100),
    pic("borboleta", FX + 52, 150, 70),
], [
    border("09-coracoes", inside=True),
    pic("buque-coracoes", IX, 46, 80),
    text("Seu carinho é o\nmeu porto seguro.", 16, "roxo", "italico", cx=IX, below=12),
    text("Feliz Dia das Mães!", 16, "fucsia", "negrito", cx=IX, below=14),
    text("Seu nome", 12, "preto", "italico", cx=IX, below=18),
])

# C7 Dia dos Namorados
folded("namorados", 1, [
    border("09-coracoes"),
    pic("coracoes", FX, 58, 120),
    text("Feliz Dia dos\nNamorados", 24, "vermelho", "negrito-italico", cx=FX, below=14),
], [
    text("Cada dia ao seu lado\né um presente.", 16, "marrom", "italico", cx=IX, y=70),
    text("Eu te amo!", 24, "vermelho", "negrito-italico", cx=IX, below=16),
    pic("buque-coracoes", IX, 200, 80),
    text("Seu nome", 12, "preto", "italico", cx=IX, below=8),
])
folded("namorados", 2, [
    border("03-casamento"),
    text("Para o\nmeu amor", 28, "marrom", "italico", cx=FX, y=56),
    pic("envelope-coracao", FX, 170, 130),
], [
    border("03-casamento", inside=True),
    pic("rosa", IX, 44, 80),
    text("Você é a melhor\nparte dos meus dias.", 16, "marrom", "italico", cx=IX, below=12),
    text("Com todo o meu amor,\nSeu nome", 13, "vermelho", "italico", cx=IX, below=22),
])

# C8 Dia dos Pais
folded("pais", 1, [
    border("10-estrelas"),
    pic("trofeu", FX, 56, 120),
    text("Feliz Dia\ndos Pais", 28, "marinho", "negrito", cx=FX, below=10),
], [
    text("Pai, você é o meu\nherói e o meu exemplo.", 15, "marinho", "italico", cx=IX, y=76),
    text("Obrigado por tudo!", 17, "petroleo", "negrito", cx=IX, below=16),
    pic("medalha", IX, 196, 70),
    text("Seu filho", 12, "preto", "italico", cx=IX, below=10),
])
folded("pais", 2, [
    pic("estrelas", FX, 28, 140),
    text("Para o\nmelhor pai\ndo mundo", 26, "petroleo", "negrito", font=SANS, cx=FX, below=12),
], [
    border("13-ondas", inside=True),
    text("Obrigado pelos\nensinamentos, pela\npaciência e pelo amor\nde todos os dias.", 15,
         "marinho", "italico", cx=IX, y=72),
    text("Parabéns, pai!", 18, "petroleo", "negrito", font=SANS, cx=IX, below=18),
    text("Com amor,\nSeu nome", 12, "preto", "italico", cx=IX, below=14),
])

# C9 Natal
folded("natal", 1, [
    border("05-natal"),
    pic("arvore-natal", FX, 50, 140),
    text("Feliz Natal", 28, "vermelho", "negrito-italico", cx=FX, below=12),
], [
    text("Que o espírito do Natal\nilumine o seu lar\ne que o Ano Novo traga\npaz, saúde e "
         "alegria.", 15, "verde", "italico", cx=IX, y=62),
    pic("sino-natal", IX, 188, 70),
    text("Boas Festas!\nSeu nome", 13, "vermelho", "italico", cx=IX, below=10),
])
folded("natal", 2, [
    pic("estrela-natal", FX, 24, 70),
    text("Boas\nFestas", 34, "verde", "negrito", cx=FX, below=6),
    pic("bola-natal", FX - 50, 226, 80),
    pic("presente", FX + 48, 236, 70),
], [
    border("05-natal", inside=True),
    text("Um Natal cheio de amor\ne um Ano Novo de\nmuitas realizações!", 15, "vermelho",
         "italico", cx=IX, y=76),
    pic("bengala-doce", IX, 168, 64),
    text("Com carinho,\nSeu nome", 12, "verde", "italico", cx=IX, below=14),
])
folded("natal", 3, [
    border("10-estrelas"),
    pic("floco-neve", FX, 44, 110),
    text("Natal", 36, "marinho", "negrito-italico", cx=FX, below=8),
    text("de paz e luz", 16, "petroleo", "italico", cx=FX, below=0),
    pic("gorro-natal", FX, 270, 60),
], [
    text("Neste Natal,\ndesejo a você e à sua\nfamília momentos de\nalegria e união.", 15,
         "marinho", "italico", cx=IX, y=70),
    text("Feliz Ano Novo!", 18, "vermelho", "negrito-italico", cx=IX, below=18),
    text("Seu nome", 12, "preto", "italico", cx=IX, below=22),
])

# C10 Saudades
folded("saudades", 1, [
    border("13-ondas"),
    pic("passaro", FX, 74, 120),
    text("Saudades\nde você", 28, "petroleo", "negrito-italico", cx=FX, below=8),
], [
    text("A distância pode\nseparar os caminhos,\nmas nunca o carinho.", 15, "marinho",
         "italico", cx=IX, y=80),
    text("Volte logo!", 20, "petroleo", "negrito-italico", cx=IX, below=18),
    text("Um abraço apertado,\nSeu nome", 12, "preto", "italico", cx=IX, below=28),
])
folded("saudades", 2, [
    pic("estrela-cadente", FX, 40, 140),
    text("Estou com\nsaudades", 28, "marinho", "italico", cx=FX, below=14),
], [
    border("10-estrelas", inside=True),
    text("Cada estrela no céu\nme lembra de você.", 15, "marinho", "italico", cx=IX, y=74),
    text("Mal posso esperar\npara te ver de novo!", 15, "roxo", "italico", cx=IX, below=14),
    pic("estrelas", IX, 218, 60),
    text("Seu nome", 12, "preto", "italico", cx=IX, below=10),
])

# ---------------------------------------------------------------------------------------
# Invitations (folded): the front announces the party, the inside gives who, when, where.

# C11 15 anos
folded("quinze", 1, [
    border("03-casamento"),
    pic("borboleta", FX, 40, 80),
    text("Meus", 22, "roxo", "italico", cx=FX, below=14),
    text("15 anos", 34, "roxo", "negrito-italico", cx=FX, below=-4),
    pic("rosa", FX, 226, 80),
], [
    border("03-casamento", inside=True),
    text("Tenho o prazer de\nconvidar você para\ncelebrar comigo esta\ndata tão especial.",
         14, "roxo", "italico", cx=IX, y=50),
    text("Isabela", 26, "fucsia", "negrito-italico", cx=IX, below=10),
    text("Sábado, 15 de março, às 20h\nSalão de Festas Primavera\nRua das Flores, 150", 11,
         "preto", font=SANS, cx=IX, below=10),
])
folded("quinze", 2, [
    border("12-arabescos"),
    text("Uma noite\ninesquecível", 24, "marinho", "italico", cx=FX, y=52),
    pic("flor", FX, 150, 100),
    text("15 anos", 28, "fucsia", "negrito-italico", cx=FX, below=8),
], [
    border("12-arabescos", inside=True),
    text("Mariana Souza", 22, "fucsia", "negrito-italico", cx=IX, y=52),
    text("convida você para a\nfesta dos seus 15 anos", 14, "marinho", "italico", cx=IX,
         below=8),
    pic("fita-laco", IX, 148, 60),
    text("Sexta-feira, 22 de agosto\nàs 21 horas\nEspaço Jardim das Rosas\nAv. Central, 800",
         11, "preto", font=SANS, cx=IX, below=8),
    text("Confirme sua presença:\n(11) 91234-5678", 9, "marinho", font=SANS, cx=IX, below=8),
])

# C12 Convites de Aniversário
folded("festa", 1, [
    border("06-aniversario"),
    pic("chapeu-festa", FX - 46, 96, 80),
    pic("baloes", FX + 40, 80, 100),
    text("Venha para\na minha festa!", 22, "vermelho", "negrito", font=SANS, cx=FX, y=196),
], [
    text("Aniversário do", 15, "azul", "italico", cx=IX, y=46),
    text("Pedro", 30, "vermelho", "negrito", font=SANS, cx=IX, below=0),
    text("7 anos", 18, "azul", "negrito", font=SANS, cx=IX, below=0),
    pic("bolo-aniversario", IX, 162, 70),
    text("Domingo, 10 de agosto\ndas 15h às 19h\nRua dos Ipês, 45 - Centro", 11, "preto",
         font=SANS, cx=IX, below=10),
    text("Conto com você!", 13, "vermelho", "negrito-italico", cx=IX, below=8),
])
folded("festa", 2, [
    pic("confete", FX, 16, 200),
    pic("bolo-aniversario", FX, 70, 130),
    text("Você está\nconvidado!", 26, "roxo", "negrito", font=SANS, cx=FX, below=12),
], [
    border("06-aniversario", inside=True),
    text("Vamos comemorar\nos 30 anos da", 15, "roxo", "italico", cx=IX, y=80),
    text("Mariana", 28, "fucsia", "negrito-italico", cx=IX, below=2),
    text("Sábado, 18 de outubro, às 20h\nBar e Restaurante Sabor Mineiro\n"
         "Rua Goiás, 321", 11, "preto", font=SANS, cx=IX, below=12),
    pic("velas", IX, 280, 60),
])

# C13 Casamento
folded("casamento", 1, [
    border("03-casamento"),
    pic("aliancas", FX, 60, 120),
    text("Ana & Paulo", 26, "oliva", "italico", cx=FX, below=14),
    text("20 de setembro de 2025", 12, "cinza", "italico", cx=FX, below=6),
], [
    border("03-casamento", inside=True),
    text("Com a bênção de Deus\ne de seus pais,", 13, "cinza", "italico", cx=IX, y=52),
    text("Ana Beatriz\n&\nPaulo Henrique", 20, "oliva", "italico", cx=IX, below=10),
    text("convidam para a cerimônia\nde seu casamento,\nsábado, 20 de setembro,\n"
         "às 17 horas, na Igreja\nNossa Senhora da Glória.", 11, "preto", "italico", cx=IX,
         below=10),
])
folded("casamento", 2, [
    border("12-arabescos"),
    pic("pombas", FX, 52, 130),
    text("Nosso\nCasamento", 28, "marinho", "italico", cx=FX, below=10),
], [
    border("12-arabescos", inside=True),
    pic("sinos-casamento", IX, 34, 70),
    text("Juliana & Ricardo", 20, "marinho", "italico", cx=IX, below=6),
    text("têm a alegria de convidar\npara a celebração do seu\ncasamento", 12, "petroleo",
         "italico", cx=IX, below=8),
    text("Sábado, 8 de novembro, às 16h\nCapela São José\nRua das Palmeiras, 77", 11,
         "preto", cx=IX, below=8),
    text("Recepção a seguir no Espaço Jardim", 10, "petroleo", "italico", cx=IX, below=8),
])

# C14 Convites de Dia das Bruxas
folded("assombrada", 1, [
    border("07-bruxas"),
    pic("abobora", FX - 30, 82, 110),
    pic("morcego", FX + 62, 62, 70),
    text("Festa do\nDia das Bruxas", 22, "roxo", "negrito", font=SANS, cx=FX, y=212),
], [
    text("Venha fantasiado!", 20, "roxo", "negrito", font=SANS, cx=IX, y=56),
    pic("fantasma", IX, 104, 80),
    text("Sexta-feira, 31 de outubro\nàs 19 horas\nRua das Acácias, 300", 12, "preto",
         font=SANS, cx=IX, below=12),
    text("Traga sua vassoura!", 13, "oliva", "negrito-italico", cx=IX, below=12),
])
folded("assombrada", 2, [
    pic("teia-aranha", 52, 6, 90),
    pic("chapeu-bruxa", FX, 62, 130),
    text("Convite\nAssombrado", 26, "roxo", "negrito-italico", cx=FX, below=8),
], [
    border("07-bruxas", inside=True),
    text("Bruxas, fantasmas\ne monstros estão\nconvidados para a\nnossa festa!", 15, "roxo",
         "italico", cx=IX, y=60),
    text("Sábado, 1º de novembro,\nàs 20 horas\nSalão da Rua Verde, 13", 11, "preto", font=SANS,
         cx=IX, below=14),
    pic("abobora", IX, 262, 60),
])

# C15 Participação
folded("participacao", 1, [
    border("08-infantil"),
    pic("ursinho", FX, 56, 120),
    text("Chegou o\nnosso bebê!", 24, "azul", "negrito", font=SANS, cx=FX, below=10),
], [
    text("Com muita alegria,\nparticipamos o nascimento de", 13, "azul", "italico", cx=IX,
         y=58),
    text("Lucas", 30, "azul", "negrito-italico", cx=IX, below=6),
    text("em 5 de maio de 2025,\ncom 3,2 kg e 49 cm.", 13, "preto", "italico", cx=IX, below=8),
    pic("estrelas", IX, 214, 50),
    text("Marina e Roberto", 14, "petroleo", "italico", cx=IX, below=10),
])
folded("participacao", 2, [
    border("12-arabescos"),
    pic("sinos-casamento", FX, 56, 110),
    text("Participação\nde Casamento", 22, "marinho", "italico", cx=FX, below=14),
], [
    border("12-arabescos", inside=True),
    text("Fernando e Lúcia Souza\nManoel e Teresa Lima", 12, "cinza", "italico", cx=IX, y=54),
    text("participam o casamento\nde seus filhos", 12, "preto", "italico", cx=IX, below=10),
    text("Camila\n&\nRafael", 20, "marinho", "italico", cx=IX, below=8),
    text("realizado em 12 de abril de 2025,\nna cidade de Campinas.", 11, "preto", "italico",
         cx=IX, below=8),
])

# ---------------------------------------------------------------------------------------
# Full pages.

# C16 Pôsteres
full("poster", 1, [
    border("10-estrelas"),
    pic("estrela-cadente", PX, 60, 200),
    text("Noite das\nEstrelas", 44, "marinho", "negrito", font=SANS, cx=PX, below=16),
    text("Observação do céu com telescópios", 16, "petroleo", "italico", cx=PX, below=10),
    pic("estrelas", PX, 430, 80),
    text("Sábado, 14 de junho, às 19h\nPraça da Matriz", 18, "preto", "negrito", font=SANS,
         cx=PX, below=14),
    text("Entrada gratuita. Traga sua família!", 14, "marinho", "italico", cx=PX, below=24),
])
full("poster", 2, [
    border("11-folhas"),
    text("Dia da Árvore", 40, "verde", "negrito", font=SANS, cx=PX, y=60),
    text("Plante uma ideia, colha um futuro", 17, "oliva", "italico", cx=PX, below=6),
    pic("arvore", PX, 170, 220),
    pic("folha", 118, 360, 60),
    pic("folha", 378, 360, 60),
    text("21 de setembro", 24, "verde", "negrito", font=SANS, cx=PX, y=420),
    text("Venha plantar conosco no\nParque Municipal, às 9 horas.\nMudas gratuitas para "
         "todos!", 16, "preto", cx=PX, below=14),
])

# ---------------------------------------------------------------------------------------
# Business cards: 380 × 217.

# E0 Cartões de Visita
card("visita", 1, [
    border("14-empresarial"),
    pic("grafico", 318, 112, 66),
    text("Carlos Almeida", 16, "marinho", "negrito", font=SANS, x=32, y=46),
    text("Consultor Financeiro", 10, "petroleo", "italico", font=SANS, x=32, below=0),
    text("(11) 3456-7890\ncarlos@almeidaconsultoria.com.br\nAv. Paulista, 1000 - São Paulo",
         8, "preto", font=SANS, x=32, y=128),
])
card("visita", 2, [
    border("15-elegante"),
    pic("flor", 66, 56, 70),
    text("Juliana Costa", 18, "marrom", "italico", x=116, y=54),
    text("Decoração de Festas", 10, "oliva", "italico", x=116, below=0),
    text("(21) 98765-4321\njuliana@festasjuliana.com.br\nRua do Catete, 52 - Rio de Janeiro", 8,
         "preto", cx=VX, y=138),
])
card("visita", 3, [
    border("14-empresarial"),
    pic("notebook", 66, 38, 70),
    text("TecnoFácil", 18, "petroleo", "negrito", font=SANS, x=116, y=44),
    text("Informática e Assistência Técnica", 9, "marinho", font=SANS, x=116, below=0),
    text("Roberto Lima\nTécnico Responsável", 10, "marinho", "negrito", font=SANS, x=32, y=124),
    text("(31) 3222-1100\nsuporte@tecnofacil.com.br", 8, "preto", font=SANS, right=350, y=130),
])

# E1 Anúncios de compra/venda
full("anuncio", 1, [
    border("01-classica"),
    text("VENDE-SE", 48, "vermelho", "negrito", font=SANS, cx=PX, y=56),
    text("Notebook seminovo", 24, "marinho", "negrito", font=SANS, cx=PX, below=4),
    pic("notebook", PX, 190, 200),
    text("• Tela de 15 polegadas\n• 8 GB de memória\n• Bateria nova\n• Carregador e capa "
         "inclusos", 16, "preto", font=SANS, x=90, y=410),
    text("R$ 1.500,00", 30, "vermelho", "negrito", font=SANS, cx=PX, y=540),
    text("Tratar com Marcos: (11) 98765-4321", 16, "marinho", "negrito", font=SANS, cx=PX,
         below=14),
])
full("anuncio", 2, [
    border("08-infantil"),
    text("COMPRO", 48, "azul", "negrito", font=SANS, cx=PX, y=56),
    text("brinquedos antigos", 26, "vermelho", "negrito-italico", cx=PX, below=0),
    pic("ursinho", PX - 80, 200, 150),
    pic("blocos-brinquedo", PX + 86, 220, 130),
    text("Carrinhos, bonecas, jogos de tabuleiro,\nblocos de montar e ursinhos de pelúcia.",
         15, "preto", cx=PX, y=390),
    text("Pago bem e busco em casa!", 22, "vermelho", "negrito", font=SANS, cx=PX, below=24),
    text("Ligue para Sílvia: (19) 99876-5432", 16, "azul", "negrito", font=SANS, cx=PX,
         below=24),
])

# E2 Comunicados
full("comunicado", 1, [
    border("01-classica"),
    pic("caneta", 400, 48, 70),
    text("COMUNICADO", 32, "marinho", "negrito", font=SANS, x=52, y=64),
    text("São Paulo, 3 de novembro de 2025", 12, "cinza", "italico", x=52, below=6),
    text("Prezados clientes,", 14, "preto", x=52, y=170),
    text("Informamos que, em razão do feriado de 15 de novembro,\no nosso escritório "
         "estará fechado na sexta-feira,\ndia 14, e no sábado, dia 15.\n\n"
         "O atendimento voltará ao normal na segunda-feira,\ndia 17, a partir das 8 horas.\n\n"
         "Casos urgentes podem ser tratados pelo telefone\n(11) 3456-7890.", 13, "preto",
         x=52, below=14),
    text("Agradecemos a compreensão.", 14, "preto", "italico", x=52, below=24),
    text("A Diretoria", 14, "marinho", "negrito", font=SANS, right=440, y=600),
])
full("comunicado", 2, [
    border("13-ondas"),
    text("AVISO", 44, "vermelho", "negrito", font=SANS, cx=PX, y=96),
    pic("faixa", PX, 150, 200, 100),
    text("Reunião de condomínio", 24, "marinho", "negrito", font=SANS, cx=PX, y=262),
    text("Prezados moradores,\n\nconvidamos todos para a assembleia geral que\n"
         "acontecerá na quinta-feira, 20 de março, às 19h30,\nno salão de festas do "
         "edifício.\n\nEm pauta: pintura da fachada, segurança\ne previsão de gastos "
         "para o próximo ano.", 14, "preto", cx=PX, below=20),
    text("Sua presença é muito importante!", 16, "petroleo", "negrito-italico", cx=PX,
         below=20),
    text("O Síndico", 14, "marinho", "italico", cx=PX, below=18),
])

# E3 Certificados
full("certificado", 1, [
    border("02-certificado"),
    pic("medalha", PX, 62, 100),
    text("CERTIFICADO", 36, "marinho", "negrito", cx=PX, below=10),
    text("Certificamos que", 16, "preto", "italico", cx=PX, below=30),
    text("Nome do Participante", 26, "marrom", "negrito-italico", cx=PX, below=8),
    text("participou do curso de Informática Básica,\ncom carga horária de 40 horas, "
         "realizado\nde 3 a 28 de março de 2025.", 15, "preto", cx=PX, below=20),
    text("Campinas, 28 de março de 2025", 13, "preto", "italico", cx=PX, below=40),
    text("________________________\nCoordenador(a)", 12, "preto", cx=PX, y=560),
])
full("certificado", 2, [
    border("12-arabescos"),
    pic("trofeu", PX, 56, 110),
    text("Certificado de\nHonra ao Mérito", 30, "marrom", "negrito-italico", cx=PX, below=10),
    text("Conferido a", 15, "preto", "italico", cx=PX, below=24),
    text("Nome do Homenageado", 24, "marinho", "negrito", cx=PX, below=6),
    text("em reconhecimento ao excelente\ndesempenho e à dedicação\ndemonstrados "
         "durante o ano de 2025.", 14, "preto", cx=PX, below=20),
    pic("fita-laco", PX, 474, 60),
    text("_________________\nDiretor(a)", 12, "preto", cx=150, y=580),
    text("_________________\nPresidente", 12, "preto", cx=346, y=580),
])

# E4 Currículos
full("curriculo", 1, [
    border("01-classica"),
    pic("maleta", 408, 40, 60),
    text("Ana Paula Ferreira", 24, "marinho", "negrito", font=SANS, x=44, y=40),
    text("Rua das Laranjeiras, 120 - Belo Horizonte - MG\n(31) 99123-4567  -  "
         "anapaula.ferreira@email.com.br", 9, "cinza", font=SANS, x=44, below=2),
    text("Objetivo", 13, "petroleo", "negrito", font=SANS, x=44, y=128),
    text("Atuar na área administrativa, com foco em rotinas financeiras.", 10, "preto",
         font=SANS, x=44, below=2),
    text("Formação", 13, "petroleo", "negrito", font=SANS, x=44, below=14),
    text("Tecnologia em Gestão Financeira - Faculdade Horizonte (2019 - 2021)\n"
         "Ensino Médio - Escola Estadual Tiradentes (2016 - 2018)", 10, "preto", font=SANS,
         x=44, below=2),
    text("Experiência profissional", 13, "petroleo", "negrito", font=SANS, x=44, below=14),
    text("Auxiliar Administrativo - Comercial Minas Ltda. (2021 - atual)\n"
         "  Contas a pagar e a receber, conciliação bancária e emissão de notas.\n"
         "Estagiária - Contabilidade Silva & Souza (2020 - 2021)\n"
         "  Lançamentos contábeis e organização de documentos.", 10, "preto", font=SANS,
         x=44, below=2),
    text("Cursos", 13, "petroleo", "negrito", font=SANS, x=44, below=14),
    text("Excel Avançado (40 h)\nAtendimento ao Cliente (20 h)", 10, "preto", font=SANS,
         x=44, below=2),
    text("Idiomas", 13, "petroleo", "negrito", font=SANS, x=44, below=14),
    text("Inglês intermediário, espanhol básico.", 10, "preto", font=SANS, x=44, below=2),
])
full("curriculo", 2, [
    border("12-arabescos"),
    pic("notebook", PX, 56, 64),
    text("João Carlos Mendes", 24, "marrom", "negrito", cx=PX, below=4),
    text("Técnico em Informática", 14, "cinza", "italico", cx=PX, below=0),
    text("Av. Brasil, 2500 - Curitiba - PR\n(41) 98888-7766  -  joao.mendes@email.com.br", 10,
         "preto", cx=PX, below=6),
    text("PERFIL", 13, "marrom", "negrito", x=70, y=248),
    text("Técnico com seis anos de experiência em suporte,\nredes e manutenção de "
         "computadores.\nOrganizado, paciente e comunicativo.", 11, "preto", x=70, below=2),
    text("EXPERIÊNCIA", 13, "marrom", "negrito", x=70, below=14),
    text("2020 - atual: Técnico de Suporte\n    Rede Sul Supermercados\n"
         "2017 - 2020: Auxiliar de Informática\n    Prefeitura de Araucária", 11, "preto",
         x=70, below=2),
    text("FORMAÇÃO", 13, "marrom", "negrito", x=70, below=14),
    text("2015 - 2016: Curso Técnico em Informática\n    Instituto Paraná", 11, "preto",
         x=70, below=2),
    text("HABILIDADES", 13, "marrom", "negrito", x=70, below=14),
    text("Montagem e manutenção de computadores, redes\ne impressoras; Windows, Linux "
         "e pacotes\nde escritório.", 11, "preto", x=70, below=2),
    text("REFERÊNCIAS", 13, "marrom", "negrito", x=70, below=14),
    text("Disponíveis quando solicitadas.", 11, "preto", "italico", x=70, below=2),
])

# E5 Diplomas
full("diploma", 1, [
    border("02-certificado"),
    pic("capelo", PX, 62, 100),
    text("DIPLOMA", 40, "marinho", "negrito", cx=PX, below=6),
    text("Conferimos a", 16, "preto", "italico", cx=PX, below=24),
    text("Nome do Formando", 28, "marrom", "negrito-italico", cx=PX, below=10),
    text("o presente diploma pela conclusão do\nEnsino Fundamental, no ano de 2025.", 16,
         "preto", cx=PX, below=20),
    pic("diploma", PX, 420, 70),
    text("_________________\nDiretor(a)", 12, "preto", cx=150, y=560),
    text("_________________\nSecretário(a)", 12, "preto", cx=346, y=560),
])
full("diploma", 2, [
    border("08-infantil"),
    pic("estrelas", PX - 120, 196, 70),
    pic("estrelas", PX + 120, 196, 70),
    text("Diploma", 44, "azul", "negrito", font=SANS, cx=PX, y=70),
    text("de Formatura", 22, "vermelho", "negrito", font=SANS, cx=PX, below=0),
    pic("capelo", PX, 190, 110),
    text("A Escola Pequeno Príncipe confere a", 15, "preto", "italico", cx=PX, below=14),
    text("Nome da Criança", 26, "roxo", "negrito", font=SANS, cx=PX, below=8),
    text("este diploma pela conclusão da\nEducação Infantil, com muito orgulho!", 15, "preto",
         cx=PX, below=14),
    pic("sol-sorridente", PX, 482, 70),
    text("_________________\nProfessora", 12, "preto", cx=150, y=580),
    text("_________________\nDiretora", 12, "preto", cx=346, y=580),
])

# E6 Panfletos
full("panfleto", 1, [
    border("06-aniversario"),
    text("Doces & Bolos\nda Vovó", 36, "marrom", "negrito-italico", cx=PX, y=96),
    pic("bolo-aniversario", PX, 200, 150),
    text("Encomendas para festas e aniversários", 16, "vermelho", "negrito", font=SANS, cx=PX,
         below=10),
    text("• Bolos decorados\n• Docinhos e salgadinhos\n• Tortas e cupcakes\n"
         "• Entrega em domicílio", 16, "preto", x=150, below=14),
    text("Peça já: (11) 97777-1234", 22, "marrom", "negrito", font=SANS, cx=PX, y=560),
    text("Rua das Margaridas, 88 - Vila Nova", 13, "preto", "italico", cx=PX, below=4),
])
full("panfleto", 2, [
    border("13-ondas"),
    text("Aulas de Informática", 30, "petroleo", "negrito", font=SANS, cx=PX, y=116),
    text("Matrículas abertas!", 22, "vermelho", "negrito-italico", cx=PX, below=6),
    pic("notebook", PX - 80, 214, 130),
    pic("grafico", PX + 80, 214, 130),
    text("Cursos para todas as idades:\n\n• Informática básica\n• Internet e redes sociais\n"
         "• Planilhas e textos\n• Digitação", 16, "preto", font=SANS, x=140, y=360),
    text("Turmas de manhã, à tarde e à noite", 15, "marinho", "italico", cx=PX, below=14),
    text("Informações: (21) 3555-0099", 20, "petroleo", "negrito", font=SANS, cx=PX, below=14),
])

# E7 Papel timbrado
full("timbrado", 1, [
    border("13-ondas"),
    pic("maleta", 84, 118, 56),
    text("Almeida & Costa", 22, "petroleo", "negrito", font=SANS, x=120, y=116),
    text("Consultoria Empresarial", 12, "cinza", "italico", font=SANS, x=120, below=0),
    text("Av. Paulista, 1000 - 10º andar - São Paulo - SP\n"
         "(11) 3456-7890  -  contato@almeidacosta.com.br", 9, "cinza", font=SANS, cx=PX, y=548),
])
full("timbrado", 2, [
    border("12-arabescos"),
    pic("caneta", PX, 66, 46),
    text("Silva & Oliveira", 22, "marrom", "italico", cx=PX, below=0),
    text("ADVOGADOS ASSOCIADOS", 10, "cinza", font=SANS, cx=PX, below=0),
    text("Rua XV de Novembro, 540 - Sala 12 - Curitiba - PR\n"
         "(41) 3322-4455  -  escritorio@silvaoliveira.adv.br", 9, "cinza", cx=PX, y=610),
])


# ---------------------------------------------------------------------------------------
# Category covers: model number 0, shown in the dialog while no model is chosen.

COVER_ART = {
    "agradecimento": ("04-flores", "flor"), "amizade": ("13-ondas", "pipa"),
    "aniversario": ("06-aniversario", "bolo-aniversario"), "desculpas": ("09-coracoes", "rosa"),
    "bruxas": ("07-bruxas", "abobora"), "criancas": ("08-infantil", "ursinho"),
    "maes": ("04-flores", "tulipa"), "namorados": ("09-coracoes", "coracoes"),
    "pais": ("10-estrelas", "trofeu"), "natal": ("05-natal", "arvore-natal"),
    "saudades": ("13-ondas", "passaro"), "quinze": ("03-casamento", "borboleta"),
    "festa": ("06-aniversario", "baloes"), "casamento": ("03-casamento", "aliancas"),
    "assombrada": ("07-bruxas", "chapeu-bruxa"), "participacao": ("12-arabescos", "sinos-casamento"),
    "poster": ("10-estrelas", "estrelas"), "visita": ("15-elegante", "maleta"),
    "anuncio": ("01-classica", "faixa"), "comunicado": ("01-classica", "caneta"),
    "certificado": ("02-certificado", "medalha"), "curriculo": ("01-classica", "maleta"),
    "diploma": ("02-certificado", "capelo"), "panfleto": ("13-ondas", "confete"),
    "timbrado": ("12-arabescos", "caneta"),
}


def caption_lines(caption):
    """The caption broken before its last words, so it fits a half card."""
    words = caption.split()
    if len(words) <= 2:
        return caption
    return " ".join(words[:-2]) + "\n" + " ".join(words[-2:])


def cover(category):
    frame, art = COVER_ART[category.prefix]
    hint = text("Escolha um modelo\nna lista acima.", 13, "cinza", "italico")
    if category.layout == FOLDED:
        items = [border(frame), pic(art, FX, 70, 110),
                 text(caption_lines(category.caption), 20, "marinho", "negrito-italico", cx=FX,
                      below=14),
                 border(frame, inside=True)]
        hint.cx, hint.y = IX, 160
    elif category.layout == CARD:
        items = [border(frame), pic(art, 80, 60, 90),
                 text(category.caption, 16, "marinho", "negrito-italico", x=140, y=74)]
        hint.x, hint.align, hint.y = 140, "esquerda", 116
    else:
        items = [border(frame), pic(art, PX, 160, 160, 80 if art == "faixa" else 160),
                 text(caption_lines(category.caption), 32, "marinho", "negrito-italico", cx=PX,
                      y=360)]
        hint.cx, hint.y = PX, 470
    TEMPLATES.append(Template(category.prefix, 0, category.layout, items + [hint]))


for _category in CATEGORIES:
    cover(_category)
