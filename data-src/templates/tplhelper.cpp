// quadrela-tplhelper: two small jobs around the shipped templates.
//
//   quadrela-tplhelper fit IN.png OUT.png WIDTH HEIGHT
//       Scales the picture down into a WIDTH × HEIGHT box, keeping its aspect ratio
//       (a picture that already fits is copied unchanged). Used by the build to turn a
//       rendered template page into the preview of the new-project dialog.
//
//   quadrela-tplhelper measure
//       Reads text blocks from standard input, one per line as
//       FONT <tab> POINTS <tab> STYLE <tab> TEXT, where STYLE is the style bits (1 bold,
//       2 italic) and TEXT writes its line breaks as "\n", and prints for each the width
//       and height of the picture the text renderer makes of it. The template generator
//       uses it to place texts; the build does not.
//
// Exit status 0 on success, 1 when the work fails (message on standard error), 2 for a
// usage error.
#include "codecs/png.h"
#include "imaging/textrender.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <exception>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxSide = 8000;

void printLine(FILE* stream, const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
}

int usage()
{
    printLine(stderr, QStringLiteral("usage: quadrela-tplhelper fit IN.png OUT.png WIDTH HEIGHT\n"
                                     "       quadrela-tplhelper measure < blocks.tsv"));
    return kExitUsage;
}

int fail(const QString& message)
{
    printLine(stderr, message);
    return kExitFailed;
}

// A side length: decimal digits only, 1 to kMaxSide.
int parseSide(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || text.isEmpty() || !text.at(0).isDigit() || value < 1 || value > kMaxSide)
        return 0;
    return value;
}

// The size of `size` scaled down to lie within `box`, aspect kept; never enlarged and
// never below one pixel a side.
QSize fittedSize(QSize size, QSize box)
{
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    QSize fitted = size.scaled(box, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

int runFit(const QStringList& args)
{
    if (args.size() != 4)
        return usage();
    const QSize box(parseSide(args.at(2)), parseSide(args.at(3)));
    if (box.isEmpty())
        return usage();

    QImageReader reader(args.at(0));
    QImage picture = reader.read();
    if (picture.isNull())
        return fail(QStringLiteral("%1: %2").arg(args.at(0), reader.errorString()));
    const QSize size = fittedSize(picture.size(), box);
    if (size != picture.size())
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    QSaveFile file(args.at(1));
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1: %2").arg(args.at(1), file.errorString()));
    // The dialog reads a preview each time one is shown.
    const QByteArray bytes =
        quadrela::TPNGObject::fromBitmap(picture).encode(quadrela::PngCompression::Unfiltered);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return fail(QStringLiteral("%1: %2").arg(args.at(1), file.errorString()));
    }
    if (!file.commit())
        return fail(QStringLiteral("%1: %2").arg(args.at(1), file.errorString()));
    return kExitOk;
}

int runMeasure()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read standard input"));
    int lineNumber = 0;
    while (!in.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(in.readLine()).remove(u'\n').remove(u'\r');
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(u'\t');
        bool sizeOk = false;
        bool styleOk = false;
        quadrela::TextAttributes attributes;
        if (fields.size() == 4) {
            attributes.FontName = fields.at(0);
            attributes.FontSize = fields.at(1).toInt(&sizeOk);
            attributes.Style = quint8(fields.at(2).toUInt(&styleOk));
        }
        if (!sizeOk || !styleOk || attributes.Style > 3)
            return fail(
                QStringLiteral("line %1: expected FONT, POINTS, STYLE and TEXT").arg(lineNumber));
        QString text = fields.at(3);
        text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
        try {
            const QImage bitmap = quadrela::RenderTextBitmap(attributes, text);
            printLine(stdout, QStringLiteral("%1 %2").arg(bitmap.width()).arg(bitmap.height()));
        } catch (const std::exception& e) {
            return fail(
                QStringLiteral("line %1: %2").arg(lineNumber).arg(QString::fromUtf8(e.what())));
        }
    }
    return kExitOk;
}

int run(QStringList args)
{
    args.removeFirst();
    if (args.isEmpty())
        return usage();
    const QString verb = args.takeFirst();
    if (verb == u"fit")
        return runFit(args);
    if (verb == u"measure" && args.isEmpty())
        return runMeasure();
    return usage();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return run(app.arguments());
}
