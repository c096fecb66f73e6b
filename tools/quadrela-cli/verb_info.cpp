// info [--data DIR] ARCHIVE: reads the records of a project archive as opening does, without
// creating items, and prints them as JSON on standard output.
#include "verbs.h"
#include "scratch.h"

#include "core/datafolders.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "storage/records.h"
#include "zip/archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace quadrela::cli {

namespace {

const QString kNotRecognised = QStringLiteral("Arquivo não reconhecido.");

QString jsonString(const QString& value)
{
    QString out;
    out.reserve(value.size() + 2);
    out += u'"';
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

QString itemJson(const TItem& r)
{
    return QStringLiteral("{\"kind\": %1, \"fileName\": %2, \"left\": %3, \"top\": %4, "
                          "\"width\": %5, \"height\": %6, \"text\": %7, \"fontName\": %8, "
                          "\"color\": %9, \"alignment\": %10, \"style\": %11, \"fontSize\": %12}")
        .arg(QString::number(r.Kind), jsonString(r.FileName), QString::number(r.Left),
             QString::number(r.Top), QString::number(r.Width), QString::number(r.Height),
             jsonString(r.Text), jsonString(r.FontName), QString::number(r.Color))
        .arg(QString::number(r.Alignment), QString::number(r.Style), QString::number(r.FontSize));
}

QString dataFolderOption(const QString& dir)
{
    QString folder = QFileInfo(dir).absoluteFilePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

QString projectInfoJson(const QString& archivePath, const QString& dataFolder)
{
    if (!fileExists(archivePath))
        throw cannotOpenFile(archivePath);

    // A private folder: the program's working folder is never touched.
    const auto unpacked = scratchFolder();
    const QString folder = unpacked->path() + u'/';
    UnpackArchive(archivePath, folder);

    FolderFiles files(folder);
    const QString projectPath = files.path(QStringLiteral("project.txt"));
    if (!fileExists(projectPath))
        throw Error(kNotRecognised);
    const QString projectText = readCp1252File(projectPath);
    if (!hasProjectMagic(projectText))
        throw Error(kNotRecognised);
    const ProjectRecord project = ReadProjectRecord(projectText);
    const QString itemText = readCp1252File(files.path(QStringLiteral("item.txt")));
    const QList<TItem> records = ReadItemRecords(itemText, project.itemCount, dataFolder);

    // A layout code outside the table gives no page layout: the program then keeps the
    // one it had, which an archive on its own cannot tell.
    QString json =
        QStringLiteral("{\n  \"layout\": %1,\n  \"itemCount\": %2,\n  \"items\": [")
            .arg(project.layout ? QString::number(*project.layout) : QStringLiteral("null"))
            .arg(project.itemCount);
    for (qsizetype i = 0; i < records.size(); ++i) {
        json += i == 0 ? QStringLiteral("\n    ") : QStringLiteral(",\n    ");
        json += itemJson(records.at(i));
    }
    json += records.isEmpty() ? QStringLiteral("]\n}\n") : QStringLiteral("\n  ]\n}\n");
    return json;
}

int runInfo(const QStringList& args)
{
    QString dataFolder;
    QString archive;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == u"--data") {
            if (i + 1 >= args.size() || args.at(i + 1).isEmpty())
                return kExitUsage;
            dataFolder = dataFolderOption(args.at(++i));
        } else if (arg.startsWith(u"--") || !archive.isNull()) {
            return kExitUsage;
        } else {
            archive = arg;
        }
    }
    if (archive.isEmpty())
        return kExitUsage;
    if (dataFolder.isEmpty())
        dataFolder = cliDataFolders().user; // where the program would look

    const QByteArray out = projectInfoJson(archive, dataFolder).toUtf8();
    if (std::fwrite(out.constData(), 1, size_t(out.size()), stdout) != size_t(out.size()) ||
        std::fflush(stdout) != 0)
        throw Error(QStringLiteral("Não foi possível escrever a saída."));
    return kExitOk;
}

} // namespace quadrela::cli
