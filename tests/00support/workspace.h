// A private data folder and working folder for one test, and picture files made on the
// spot, so no test depends on another's files or on the machine's printer.
#pragma once

#include "core/state.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

namespace quadrela::test {

class Workspace
{
public:
    // The printer page size picture items are scaled by, in device pixels.
    explicit Workspace(QSize printerPage = QSize(4800, 6600));
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    // A folder outside the data folder, for files "chosen by the user".
    QString outside() const { return m_dir.path() + QStringLiteral("/fora/"); }

    void setPrinterPage(QSize size) { m_printerPage = size; }
    // Every later query of the printer page size fails.
    void breakPrinter() { m_printerBroken = true; }

    AppState state;

private:
    QTemporaryDir m_dir;
    QSize m_printerPage;
    bool m_printerBroken = false;
};

// A picture of the size, filled with `fill`, with a black rectangle in the middle so that
// the bitmap is not uniform. The format comes from the extension (png, jpg, bmp).
// Returns the path written; fails the test through an empty return.
QString writePicture(const QString& path, QSize size, QColor fill = Qt::red);
QImage testPicture(QSize size, QColor fill = Qt::red);

QByteArray readAll(const QString& path);
bool writeBytes(const QString& path, const QByteArray& bytes);

} // namespace quadrela::test
