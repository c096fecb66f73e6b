// quadrela-artgen: renders one SVG drawing into a shipped picture of the data folder.
//
//   quadrela-artgen IN.svg OUT.(png|jpg|bmp) WIDTH HEIGHT [--background #RRGGBB]
//
// PNG keeps the drawing's transparency (RGBA); JPEG (quality 92) and BMP (24 bits per pixel)
// cannot, so they are laid on the background colour, white unless given. The drawing is
// stretched to exactly WIDTH × HEIGHT. Any warning of the SVG renderer fails the run: a
// drawing that uses something the renderer drops would otherwise ship quietly damaged.
// The output is written whole or not at all, so a failed run never leaves a picture that
// the build would take as up to date.
#include <QColor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QStringList>
#include <QSvgRenderer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxSide = 8000;

int svgWarnings = 0;
QtMessageHandler previousHandler = nullptr;

void countSvgWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg && context.category &&
        QByteArray(context.category).startsWith("qt.svg"))
        ++svgWarnings;
    if (previousHandler)
        previousHandler(type, context, text);
}

void printLine(const QString& text)
{
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

int usage()
{
    printLine(QStringLiteral(
        "usage: quadrela-artgen IN.svg OUT.(png|jpg|bmp) WIDTH HEIGHT [--background #RRGGBB]"));
    return kExitUsage;
}

int fail(const QString& message)
{
    printLine(message);
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

struct Options
{
    QString input;
    QString output;
    QByteArray format; // "png", "jpeg" or "bmp"
    QSize size;
    QColor background; // invalid: none given
};

bool parseArguments(const QStringList& args, Options& options)
{
    if (args.size() != 5 && args.size() != 7)
        return false;
    options.input = args.at(1);
    options.output = args.at(2);
    const QString ext = QFileInfo(options.output).suffix().toLower();
    if (ext == u"png")
        options.format = "png";
    else if (ext == u"jpg" || ext == u"jpeg")
        options.format = "jpeg";
    else if (ext == u"bmp")
        options.format = "bmp";
    else
        return false;
    options.size = QSize(parseSide(args.at(3)), parseSide(args.at(4)));
    if (options.size.isEmpty())
        return false;
    if (args.size() == 7) {
        const QString colour = args.at(6);
        if (args.at(5) != u"--background" || colour.size() != 7 || !colour.startsWith(u'#'))
            return false;
        options.background = QColor::fromString(colour);
        if (!options.background.isValid())
            return false;
    }
    return true;
}

QImage render(QSvgRenderer& svg, const Options& options)
{
    QImage image(options.size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    QColor fill = options.background;
    if (!fill.isValid())
        fill = options.format == "png" ? QColor(Qt::transparent) : QColor(Qt::white);
    image.fill(fill);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(options.size)));
    painter.end();

    if (options.format == "png")
        return image.convertToFormat(QImage::Format_ARGB32);
    // BMP and JPEG have no alpha: the drawing already lies on an opaque fill, so dropping
    // the channel loses nothing (a transparent pixel would come out black). The BMP writer
    // stores 24 bits per pixel.
    return image.convertToFormat(options.format == "bmp" ? QImage::Format_RGB888
                                                         : QImage::Format_RGB32);
}

int run(const QStringList& args)
{
    Options options;
    if (!parseArguments(args, options))
        return usage();

    QSvgRenderer svg;
    if (!svg.load(options.input) || !svg.isValid())
        return fail(QStringLiteral("%1: not a readable SVG drawing").arg(options.input));
    if (svgWarnings > 0)
        return fail(QStringLiteral("%1: the SVG renderer reported problems").arg(options.input));

    const QImage image = render(svg, options);
    if (svgWarnings > 0)
        return fail(QStringLiteral("%1: the SVG renderer reported problems").arg(options.input));
    if (image.isNull())
        return fail(QStringLiteral("%1: out of memory").arg(options.output));

    QSaveFile file(options.output);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1: %2").arg(options.output, file.errorString()));
    QImageWriter writer(&file, options.format);
    if (options.format == "jpeg")
        writer.setQuality(92);
    if (!writer.write(image)) {
        file.cancelWriting();
        return fail(QStringLiteral("%1: %2").arg(options.output, writer.errorString()));
    }
    // commit() does not report a buffer the disk refused: only the flush does, and Qt's
    // text for it can be "Unknown error" where errno names the reason.
    errno = 0;
    if (!file.flush()) {
        const int error = errno;
        file.cancelWriting();
        return fail(QStringLiteral("%1: %2").arg(
            options.output,
            error ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString()));
    }
    if (!file.commit())
        return fail(QStringLiteral("%1: %2").arg(options.output, file.errorString()));
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(countSvgWarnings);
    QGuiApplication app(argc, argv);
    return run(app.arguments());
}
