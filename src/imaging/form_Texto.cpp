#include "form_Texto.h"

#include "art/artwork.h"
#include "core/convert.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "storage/codemaps.h"
#include "storage/records.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

namespace quadrela {

namespace {

QFont arialBold(int points)
{
    QFont f(QStringLiteral("Arial"), points);
    f.setBold(true);
    return f;
}

QColor colorFromRef(ColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The text box's text with its lines joined by "\n". Unlike toPlainText(), a no-break space
// stays what it is: it is a character of its own in the block's text.
QString memoContent(const QPlainTextEdit* memo)
{
    QStringList lines;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines.join(u'\n').replace(QChar::LineSeparator, u'\n');
}

QIcon swatch(ColorRef c)
{
    QPixmap pm(16, 12);
    pm.fill(colorFromRef(c));
    QPainter p(&pm);
    p.setPen(Qt::darkGray);
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return QIcon(pm);
}

} // namespace

// The style list is in the order of the style codes of the record file.
quint8 styleForEntry(int entry)
{
    return CodeToStyle(entry);
}

int entryForStyle(quint8 style)
{
    return StyleToCode(style);
}

TformTexto::TformTexto(AppState& state, TCampos& items, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      m_state(state), m_items(items)
{
    setWindowTitle(QStringLiteral("Texto"));
    setFixedSize(608, 324);
    // The windows' default face, as in the main window: the controls are sized for it.
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    createControls();
    FormCreate();
}

void TformTexto::createControls()
{
    const std::pair<const char*, QPoint> labels[] = {
        {"Fonte", {16, 7}},   {"Cor", {192, 7}},         {"Tamanho", {328, 7}},
        {"Estilo", {424, 7}}, {"Alinhamento", {518, 7}}, {"Digite o seu texto aqui", {16, 52}},
    };
    for (const auto& [caption, at] : labels) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setFont(arialBold(8));
        label->move(at);
    }

    cbFont = new QComboBox(this);
    cbFont->setGeometry(16, 27, 168, 22);
    cbFont->addItems(fontFamilyChoices(QFontDatabase::families()));

    cbCores = new QComboBox(this);
    cbCores->setGeometry(192, 27, 129, 22);
    for (const NamedColor& c : kTextColors)
        cbCores->addItem(swatch(c.value), QString::fromUtf8(c.name));

    edTamanho = new QSpinBox(this);
    edTamanho->setGeometry(328, 27, 89, 22);
    edTamanho->setRange(4, 48);
    if (auto* typing = edTamanho->findChild<QLineEdit*>())
        typing->setReadOnly(true); // arrows only

    cbEstilo = new QComboBox(this);
    cbEstilo->setGeometry(424, 27, 89, 22);
    cbEstilo->addItems({QStringLiteral("Normal"), QStringLiteral("Itálico"),
                        QStringLiteral("Negrito"), QStringLiteral("Negrito Itálico")});

    const std::pair<QToolButton**, const char*> buttons[] = {
        {&spbtEsquerda, "alinhar-esquerda"},
        {&spbtCentro, "alinhar-centro"},
        {&spbtDireita, "alinhar-direita"},
    };
    int x = 520;
    for (const auto& [button, glyph] : buttons) {
        *button = new QToolButton(this);
        (*button)->setGeometry(x, 27, 23, 22);
        // Both densities: the icon draws the one the screen it is shown on needs.
        QIcon icon(artPixmap(QString::fromLatin1(glyph), QSize(23, 22)));
        icon.addPixmap(artPixmap(QString::fromLatin1(glyph), QSize(23, 22), 2.0));
        (*button)->setIcon(icon);
        (*button)->setIconSize(QSize(23, 22));
        (*button)->setCursor(Qt::PointingHandCursor);
        x += 26;
    }

    memoText = new QPlainTextEdit(this);
    memoText->setGeometry(16, 72, 577, 209);
    memoText->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont(QStringLiteral("Arial"));
    memoFont.setPixelSize(13);
    memoText->setFont(memoFont);

    lbAviso = new QLabel(this);
    lbAviso->setGeometry(16, 288, 410, 25);
    lbAviso->setStyleSheet(QStringLiteral("color: #a00000;"));
    lbAviso->setWordWrap(true);

    btCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btCancelar->setGeometry(440, 288, 75, 25);
    btCancelar->setAutoDefault(false);
    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setGeometry(520, 288, 75, 25);
    btOK->setAutoDefault(false);

    connect(cbFont, &QComboBox::currentIndexChanged, this, &TformTexto::cbFontChange);
    connect(cbCores, &QComboBox::currentIndexChanged, this, &TformTexto::cbCoresChange);
    connect(edTamanho, &QSpinBox::valueChanged, this, &TformTexto::edTamanhoChange);
    connect(cbEstilo, &QComboBox::currentIndexChanged, this, &TformTexto::cbEstiloChange);
    connect(spbtEsquerda, &QToolButton::clicked, this, [this] { setAlignment(0); });
    connect(spbtCentro, &QToolButton::clicked, this, [this] { setAlignment(1); });
    connect(spbtDireita, &QToolButton::clicked, this, [this] { setAlignment(2); });
    connect(memoText, &QPlainTextEdit::textChanged, this, &TformTexto::memoTextChanged);
    connect(btOK, &QPushButton::clicked, this, &TformTexto::btOKClick);
    connect(btCancelar, &QPushButton::clicked, this, &TformTexto::btCancelarClick);
}

void TformTexto::FormCreate()
{
    // The dialog is made when first opened, possibly while a text block is being edited:
    // only its controls start afresh, the attributes in force stay as the page left them.
    {
        const QSignalBlocker block(cbEstilo);
        cbEstilo->setCurrentIndex(0);
    }
    showAlignment(0);
}

void TformTexto::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TformTexto::showForEditing()
{
    if (isVisible()) {
        FormShow();
        raise();
        activateWindow();
    } else {
        show();
    }
}

void TformTexto::selectFont(const QString& family)
{
    const QSignalBlocker block(cbFont);
    int index = cbFont->findText(family, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        // A face that is not installed ("Arial" drawn by a substitute) keeps its own name.
        cbFont->insertItem(0, family);
        index = 0;
    }
    cbFont->setCurrentIndex(index);
}

void TformTexto::FormShow()
{
    m_saved = m_state.text;
    selectFont(m_state.text.FontName);
    {
        const QSignalBlocker block(cbCores);
        cbCores->setCurrentIndex(ColorToIndex(m_state.text.Color) - 1);
    }
    {
        const QSignalBlocker block(edTamanho);
        edTamanho->setValue(m_state.text.FontSize);
    }
    {
        // The list shows the style the block will be drawn in.
        const QSignalBlocker block(cbEstilo);
        cbEstilo->setCurrentIndex(entryForStyle(m_state.text.Style));
    }
    if (m_state.editing.Active) {
        const QSignalBlocker block(memoText);
        memoText->setPlainText(m_state.editing.Text);
        m_lastAcceptedText = memoContent(memoText);
    }
    lbAviso->clear();
    setAlignment(m_state.text.Alignment);
}

// Each choice previews only its own value: showing the dialog does not apply the current
// attributes to the text box, so its face and style may differ from them.
void TformTexto::cbFontChange()
{
    m_state.text.FontName = cbFont->currentText();
    QFont f = memoText->font();
    f.setFamily(m_state.text.FontName);
    memoText->setFont(f);
}

void TformTexto::cbCoresChange()
{
    const int index = cbCores->currentIndex();
    if (index < 0)
        return;
    m_state.text.Color = IndexToColor(index + 1);
    QPalette pal = memoText->palette();
    pal.setColor(QPalette::Text, colorFromRef(m_state.text.Color));
    memoText->setPalette(pal);
}

void TformTexto::edTamanhoChange()
{
    m_state.text.FontSize = edTamanho->value();
    QFont f = memoText->font();
    f.setPointSize(m_state.text.FontSize);
    memoText->setFont(f);
}

void TformTexto::cbEstiloChange()
{
    const int entry = cbEstilo->currentIndex();
    if (entry < 0)
        return;
    m_state.text.Style = styleForEntry(entry);
    QFont f = memoText->font();
    f.setBold(m_state.text.Style & StyleBold);
    f.setItalic(m_state.text.Style & StyleItalic);
    memoText->setFont(f);
}

void TformTexto::setAlignment(quint8 alignment)
{
    m_state.text.Alignment = alignment;
    showAlignment(alignment);
}

void TformTexto::showAlignment(quint8 alignment)
{
    // The button in force is drawn flat, the other two raised.
    spbtEsquerda->setAutoRaise(alignment == 0);
    spbtCentro->setAutoRaise(alignment == 1);
    spbtDireita->setAutoRaise(alignment == 2);
}

void TformTexto::memoTextChanged()
{
    const QString text = memoContent(memoText);
    // The block's text always ends in a line end (blockText), so a "#/T" at the end of what
    // is typed so far is harmless: only a whole "#/T#" cannot be stored.
    if (isRecordSafeText(text + QStringLiteral("\r\n"))) {
        m_lastAcceptedText = text;
        return;
    }
    // A character the project file cannot hold is not accepted, typed or pasted.
    QTextCursor cursor = memoText->textCursor();
    const int position = cursor.position() - int(text.size() - m_lastAcceptedText.size());
    {
        const QSignalBlocker block(memoText);
        memoText->setPlainText(m_lastAcceptedText);
    }
    cursor = memoText->textCursor();
    cursor.setPosition(std::clamp(position, 0, int(m_lastAcceptedText.size())));
    memoText->setTextCursor(cursor);
    lbAviso->setText(QStringLiteral("Este caractere não pode ser usado num texto (\"[\", \"#/T#\" "
                                    "e letras fora do alfabeto latino)."));
    QApplication::beep();
}

QString TformTexto::blockText() const
{
    const QStringList lines = splitLines(memoContent(memoText));
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

void TformTexto::btOKClick()
{
    hide();
    TFocusImage* placed = nullptr;
    runStep(m_stepRunner, QStringLiteral("Texto"), [this, &placed] { placed = placeBlock(); });
    if (placed)
        emit blockPlaced(placed);
}

TFocusImage* TformTexto::placeBlock()
{
    const QString text = blockText();
    TImg* added = nullptr;
    if (!text.isEmpty()) {
        try {
            m_items.Add(TextItem, text);
        } catch (...) {
            // The block being changed stays as it was, and the next use of the dialog
            // adds a new block instead of replacing it.
            m_state.editing.Active = false;
            m_state.editing.control = nullptr;
            throw;
        }
        added = &m_items.Items(m_items.Count() - 1);
        added->SetAttributes(textItemAttributes(text, m_state.text));
        added->Image()->setTransparent(true);
        added->Image()->raise();
    }
    if (m_state.editing.Active) {
        // The block that was double-clicked, wherever it now is in the list; if it was
        // deleted meanwhile, the text simply becomes a new block.
        const int index =
            m_items.IndexOf(qobject_cast<TFocusImage*>(m_state.editing.control.data()));
        if (index >= 0) {
            const TImg& edited = m_items.Items(index);
            if (added) {
                added->SetLeft(edited.Image()->x());
                added->SetTop(edited.Image()->y());
            }
            m_items.Delete(index);
        }
        m_state.editing.Active = false;
        m_state.editing.control = nullptr;
        if (added)
            added->Image()->raise();
    }
    return added ? added->Image() : nullptr;
}

void TformTexto::reject()
{
    btCancelarClick();
}

void TformTexto::btCancelarClick()
{
    m_state.text = m_saved;
    m_state.editing.Active = false;
    m_state.editing.control = nullptr;
    hide();
}

QStringList fontFamilyChoices(const QStringList& families)
{
    static const QStringList aliases = {QStringLiteral("Sans Serif"), QStringLiteral("Serif"),
                                        QStringLiteral("Monospace")};
    static const QRegularExpression foundryTag(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QStringList choices;
    for (QString family : families) {
        family.remove(foundryTag);
        if (!family.isEmpty() && !aliases.contains(family) && !choices.contains(family))
            choices.append(family);
    }
    choices.sort(Qt::CaseInsensitive);
    return choices;
}

} // namespace quadrela
