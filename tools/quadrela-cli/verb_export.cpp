// export [--data DIR] [--dpi N] [--front] ARCHIVE OUT.png|OUT.jpg: opens the archive as the
// program does and writes the page as "Exportar imagem" does, in the format of the
// output's extension.
#include "verbs.h"

#include "core/errors.h"
#include "core/textfile.h"
#include "print/composition.h"
#include "print/exportimage.h"
#include "print/printcommand.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace quadrela::cli {

int runExport(const QStringList& args)
{
    PictureExportChoice choice;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size() && !args.at(i + 1).isEmpty();
        if (arg == u"--data") {
            if (!hasValue)
                return kExitUsage;
            ++i; // nothing exported depends on the data folder
        } else if (arg == u"--dpi") {
            bool ok = false;
            choice.dpi = hasValue ? args.at(++i).toInt(&ok) : 0;
            if (!ok || std::find(std::begin(kExportResolutions), std::end(kExportResolutions),
                                 choice.dpi) == std::end(kExportResolutions))
                return kExitUsage;
        } else if (arg == u"--front") {
            choice.frontOnly = true;
        } else if (arg.startsWith(u"--")) {
            return kExitUsage;
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 2 || positional.at(0).isEmpty() ||
        exportFormatFor(positional.at(1)).isEmpty())
        return kExitUsage;
    const QString output = QFileInfo(positional.at(1)).absoluteFilePath();
    // Refused before any work is done: the picture would be written only at the end.
    if (const QString refused = unwritableDestination(output); !refused.isEmpty())
        throw cannotWriteFile(output, refused);
    if (sameFile(positional.at(0), output))
        throw cannotWriteFile(output, QStringLiteral("é o arquivo de entrada %1")
                                          .arg(QDir::toNativeSeparators(positional.at(0))));

    return withOpenedArchive(
        positional.at(0), QPageSize(QPageSize::Letter).sizePixels(600),
        [&](const OpenedPage& opened) {
            const PrintJob job = printJobFor(opened.state, opened.items, opened.page);
            const CompositionReport report = writeExportedPicture(output, job, choice);
            if (!report.textFailures.isEmpty()) {
                const QByteArray line = textFailuresMessage(report.textFailures).toUtf8() + '\n';
                std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
            }
            return kExitOk;
        });
}

} // namespace quadrela::cli
