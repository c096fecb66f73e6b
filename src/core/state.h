// The state the whole program shares: one object, owned by the main window and
// handed by reference to whoever needs it.
#pragma once

#include <QPointer>
#include <QSize>
#include <QString>
#include <functional>

namespace quadrela {

enum PageLayout : int { FullPage = 0, FoldedCard = 1, BusinessCard = 2 };

enum ItemKind : quint8 { BorderItem = 0, PictureItem = 1, TextItem = 2 };

enum FontStyleBits : quint8 { StyleBold = 1, StyleItalic = 2 };

// Colours are 0x00BBGGRR: red in the low byte.
using ColorRef = quint32;

struct TextAttributes
{
    QString FontName = QStringLiteral("Arial");
    int FontSize = 10;  // points
    ColorRef Color = 0;
    quint8 Alignment = 0;  // 0 left, 1 centre, 2 right
    quint8 Style = 0;      // FontStyleBits

    bool operator==(const TextAttributes&) const = default;
};

// Which text item the text dialog is changing.
struct TEditando
{
    int Index = 0;
    QString Text;
    bool Active = false;
    // The control of the block being changed: the record follows the item, not its index,
    // when items before it are deleted while the text dialog is open.
    QPointer<QObject> control;
};

QSize pageSizeFor(int layout);  // 496 x 702, 541 x 382, 380 x 217; full page otherwise

struct AppState
{
    // The writable data folder, always ending in "/": the working folder, the scratch
    // picture, the lock and the user's own templates, borders and cliparts live here.
    QString dataFolder;
    QString workingFolder;  // dataFolder + "project/"
    // The shipped data when it lies elsewhere, read-only; empty when dataFolder holds it.
    QString shippedDataFolder;
    int pageLayout = FullPage;
    TextAttributes text;
    TEditando editing;
    // The current printer's printable page size in device pixels; picture items are
    // scaled by it. Throws when the printer cannot be queried.
    std::function<QSize()> printerPageSize;
    // Bytes of memory a project may still take; unset: what the system has available.
    std::function<qint64()> availableMemory;
    // How large the page is shown: screen pixels per page pixel. Records and gestures stay
    // in page pixels; what is meant in screen pixels (how near a snap catches) scales by it.
    double zoom = 1.0;
    double pageZoom() const { return zoom; }

    QString tempPicturePath() const { return dataFolder + QStringLiteral("temp.png"); }
    const QString& shippedFolder() const
    {
        return shippedDataFolder.isEmpty() ? dataFolder : shippedDataFolder;
    }
};

} // namespace quadrela
