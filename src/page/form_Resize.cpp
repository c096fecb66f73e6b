#include "form_Resize.h"

#include "core/convert.h"
#include "core/limits.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace quadrela {

namespace {

QFont arialBold(int points)
{
    QFont f(QStringLiteral("Arial"), points);
    f.setBold(true);
    return f;
}

int sizeFromDouble(double v)
{
    return int(std::clamp(std::nearbyint(v), 0.0, double(kMaxWidgetSize)));
}

} // namespace

QSize scaledByPercent(QSize size, int widthPercent, int heightPercent)
{
    return QSize(sizeFromDouble(size.width() * (widthPercent / 100.0)),
                 sizeFromDouble(size.height() * (heightPercent / 100.0)));
}

TformResize::TformResize(std::function<QWidget*()> selection, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      m_selection(std::move(selection))
{
    setWindowTitle(QStringLiteral("Redimensionar"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(230, 118);
    move(540, 347);

    lbLargura = new QLabel(QStringLiteral("Largura (%)"), this);
    lbLargura->setFont(arialBold(10));
    lbLargura->move(8, 9);
    lbAltura = new QLabel(QStringLiteral("Altura  (%)"), this);
    lbAltura->setFont(arialBold(10));
    lbAltura->move(8, 49);

    edLargura = new QLineEdit(this);
    edLargura->setGeometry(8, 26, 121, 21);
    edAltura = new QLineEdit(this);
    edAltura->setGeometry(8, 67, 121, 21);
    cbProporcao = new QCheckBox(QStringLiteral("Manter Proporção"), this);
    cbProporcao->setGeometry(8, 96, 113, 17);
    cbProporcao->setChecked(true);

    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setFont(arialBold(9));
    btOK->setGeometry(158, 27, 65, 25);
    btOK->setAutoDefault(false);
    btCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btCancelar->setFont(arialBold(9));
    btCancelar->setGeometry(157, 62, 65, 25);
    btCancelar->setAutoDefault(false);

    setTabOrder(btOK, btCancelar);
    setTabOrder(btCancelar, edLargura);
    setTabOrder(edLargura, edAltura);
    setTabOrder(edAltura, cbProporcao);

    edLargura->installEventFilter(this);
    edAltura->installEventFilter(this);
    connect(edLargura, &QLineEdit::textChanged, this, &TformResize::edLarguraChange);
    connect(edAltura, &QLineEdit::textChanged, this, &TformResize::edAlturaChange);
    connect(btOK, &QPushButton::clicked, this, &TformResize::btOKClick);
    connect(btCancelar, &QPushButton::clicked, this, &TformResize::btCancelarClick);

    FormShow();
}

void TformResize::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TformResize::FormShow()
{
    edLargura->setText(QStringLiteral("100"));
    edAltura->setText(QStringLiteral("100"));
}

bool TformResize::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == edLargura || watched == edAltura)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btOKClick();
            return true;
        }
        const QString text = key->text();
        if (text.isEmpty() || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;  // cursor keys, delete, and the edit shortcuts
        const char16_t c = text.at(0).unicode();
        if (c <= 32 || (c >= u'0' && c <= u'9'))
            return false;
        return true;  // anything else is not typed
    }
    return QDialog::eventFilter(watched, event);
}

void TformResize::edLarguraChange()
{
    if (cbProporcao->isChecked() && edAltura->text() != edLargura->text())
        edAltura->setText(edLargura->text());
}

void TformResize::edAlturaChange()
{
    if (cbProporcao->isChecked() && edLargura->text() != edAltura->text())
        edLargura->setText(edAltura->text());
}

void TformResize::btOKClick()
{
    hide();
    const int p = strToInt(edLargura->text());
    const int q = strToInt(edAltura->text());
    QWidget* target = m_selection ? m_selection() : nullptr;
    if (!target)
        return;
    runStep(m_stepRunner, QStringLiteral("Redimensionar"), [target, p, q] {
        target->resize(scaledByPercent(target->size(), p, q));
        target->move(std::max(0, target->x()), std::max(0, target->y()));
    });
}

void TformResize::btCancelarClick()
{
    hide();
}

} // namespace quadrela
