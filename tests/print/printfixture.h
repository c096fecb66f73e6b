// What the print tests share: a page with its items in a private data folder, dialogs
// that record what they were asked, picture files written on the spot, and PDF output
// read back through pdftoppm.
#pragma once

#include "core/dialogs.h"
#include "core/state.h"
#include "page/Imgfocus.h"
#include "page/items.h"

#include <QImage>
#include <QPageSize>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

class QPrinter;

namespace quadrela::test {

class RecordingDialogs : public ModalDialogs
{
public:
    Answer message(QWidget* owner, const QString& text, Buttons buttons) override;
    QString chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;

    bool acceptPrinter = true;
    Answer answer = Answer::Ok;  // to questions
    std::function<void()> beforeAnswer;
    QStringList events;  // "message: <text>" and "printer", in order
    QStringList messages() const;
};

// A page of a layout, as the main window builds it, in its own data folder.
class PageFixture
{
public:
    explicit PageFixture(int layout);
    PageFixture(const PageFixture&) = delete;
    PageFixture& operator=(const PageFixture&) = delete;

    // Writes the picture into the working folder under name and places it.
    TImg& addPicture(const QString& name, const QImage& picture, const QRect& geometry,
                     quint8 kind = PictureItem);
    TImg& addText(const QString& text, const TextAttributes& attributes, QPoint at);

    QTemporaryDir dir;
    AppState state;
    QWidget page;
    TFocusImage* background = nullptr;
    std::unique_ptr<TCampos> items;
};

// A PDF printer with explicit paper and margins (millimetres) at 600 dots per inch.
void configurePdfPrinter(QPrinter& printer, const QString& path,
                         QPageSize::PageSizeId paper = QPageSize::Letter, double marginMm = 0);

// Rasterises page 1 of a PDF at dpi, only the crop (in pixels at that dpi) when given, with
// poppler's own renderer or, with program "pdftocairo", with cairo, which smooths the edges
// of images as screen viewers do. Returns a null image when the program fails.
QImage rasterise(const QString& pdf, int dpi, const QRect& crop = QRect(),
                 const QString& program = QStringLiteral("pdftoppm"));

// Half-open runs [start, end) of pixels along a one-pixel strip that satisfy the test.
QList<QPair<int, int>> runsAlong(const QImage& strip, const std::function<bool(QRgb)>& test,
                                 int offset = 0);

bool isRed(QRgb c);
bool isGreen(QRgb c);
bool isBlue(QRgb c);
bool isYellow(QRgb c);
bool isWhite(QRgb c);
bool isDark(QRgb c);

// A picture in four quadrants: red top-left, green top-right, blue bottom-left, yellow
// bottom-right. Turned by 180 degrees they swap diagonally.
QImage quadrantPicture(QSize size);

// A palette PNG of the given bit depth (1, 2, 4 or 8) whose pixels are indexes into
// palette, written byte for byte, as Qt writes no palette PNG below 8 bits.
QByteArray palettePng(const QList<QList<int>>& indexRows, const QList<QRgb>& palette,
                      int bitDepth);
bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace quadrela::test
