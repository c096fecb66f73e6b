// render [--data DIR] ARCHIVE OUT.png: opens the archive as the program does and writes
// the page as the main window shows it, exactly page-sized: the background with the fold
// line and labels, the items clipped to the page, white where the page is empty.
#include "verbs.h"

#include "codecs/png.h"
#include "core/errors.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QWidget>

namespace quadrela::cli {

namespace {

// Picture items are scaled by the printer page when they are created; opening then
// gives them their stored size, so any printer serves. The program's own starts out as
// Letter at 600 dpi.
QSize defaultPrinterPage()
{
    return QPageSize(QPageSize::Letter).sizePixels(600);
}

} // namespace

int runRender(const QStringList& args)
{
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == u"--data") {
            if (i + 1 >= args.size() || args.at(i + 1).isEmpty())
                return kExitUsage;
            ++i;  // nothing shown on the page depends on the data folder
        } else if (arg.startsWith(u"--")) {
            return kExitUsage;
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 2 || positional.at(0).isEmpty() || positional.at(1).isEmpty())
        return kExitUsage;

    return withOpenedArchive(positional.at(0), defaultPrinterPage(), [&](const OpenedPage& opened) {
        QImage shot(opened.page->size(), QImage::Format_RGB32);
        shot.fill(Qt::white);
        // Rendering the page widget draws its children clipped to it, bottom first.
        opened.page->render(&shot);
        TPNGObject::fromBitmap(shot).SaveToFile(positional.at(1));
        return kExitOk;
    });
}

} // namespace quadrela::cli
