#include "form_Creditos.h"

#include "art/artwork.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace quadrela {

TformCreditos::TformCreditos(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowCloseButtonHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Créditos"));
    setFixedSize(299, 206);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    imCreditos = new QLabel(this);
    imCreditos->setGeometry(0, 0, 299, 206);
    imCreditos->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TformCreditos::showEvent(QShowEvent* event)
{
    // Drawn when first shown: most runs never open the credits.
    if (imCreditos->pixmap().isNull())
        imCreditos->setPixmap(
            artPixmap(QStringLiteral("creditos-picture"), QSize(300, 206), devicePixelRatioF()));
    QDialog::showEvent(event);
}

} // namespace quadrela
