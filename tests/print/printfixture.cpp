#include "printfixture.h"

#include "storage/project.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QtEndian>

namespace quadrela::test {

Answer RecordingDialogs::message(QWidget*, const QString& text, Buttons buttons)
{
    events.append(QStringLiteral("message: ") + text);
    if (beforeAnswer && buttons != Buttons::Ok)
        beforeAnswer();
    return buttons == Buttons::Ok ? Answer::Ok : answer;
}

QString RecordingDialogs::chooseFile(QWidget*, const FileDialogRequest&)
{
    events.append(QStringLiteral("file"));
    return QString();
}

bool RecordingDialogs::choosePrinter(QWidget*, QPrinter&)
{
    events.append(QStringLiteral("printer"));
    return acceptPrinter;
}

QStringList RecordingDialogs::messages() const
{
    QStringList out;
    for (const QString& e : events)
        if (e.startsWith(QStringLiteral("message: ")))
            out.append(e.mid(9));
    return out;
}

PageFixture::PageFixture(int layout)
{
    state.dataFolder = dir.path() + QStringLiteral("/dados/");
    state.workingFolder = state.dataFolder + QStringLiteral("project/");
    QDir().mkpath(state.workingFolder);
    state.pageLayout = layout;
    state.printerPageSize = [] { return QSize(5100, 6600); };

    page.setAttribute(Qt::WA_DontShowOnScreen);
    background = new TFocusImage(&page);
    background->setGeometry(1, 1, 494, 700);
    background->setTransparent(true);

    PageContext context;
    context.state = &state;
    context.page = &page;
    context.background = background;
    items = std::make_unique<TCampos>(context);

    RecordingDialogs unused;
    SetUpPage(ProjectContext{state, *items, &page, background, unused, nullptr}, layout);
}

TImg& PageFixture::addPicture(const QString& name, const QImage& picture, const QRect& geometry,
                              quint8 kind)
{
    const QString path = state.workingFolder + name;
    if (!picture.isNull())
        picture.save(path);
    const int index = items->Add(kind, path);
    TImg& item = items->Items(index);
    item.Image()->setGeometry(geometry);
    TDesc attributes;
    attributes.FileName = path;
    item.SetAttributes(attributes);
    return item;
}

TImg& PageFixture::addText(const QString& text, const TextAttributes& attributes, QPoint at)
{
    state.text = attributes;
    const int index = items->Add(TextItem, text);
    TImg& item = items->Items(index);
    item.SetLeft(at.x());
    item.SetTop(at.y());
    TDesc desc;
    desc.Text = text;
    desc.FontName = attributes.FontName;
    desc.FontSize = attributes.FontSize;
    desc.Color = attributes.Color;
    desc.Alignment = attributes.Alignment;
    desc.Style = attributes.Style;
    item.SetAttributes(desc);
    return item;
}

void configurePdfPrinter(QPrinter& printer, const QString& path, QPageSize::PageSizeId paper,
                         double marginMm)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(paper), QPageLayout::Portrait,
                                      QMarginsF(marginMm, marginMm, marginMm, marginMm),
                                      QPageLayout::Millimeter));
    printer.setResolution(600);
}

QImage rasterise(const QString& pdf, int dpi, const QRect& crop, const QString& program)
{
    QTemporaryDir out;
    QStringList args{QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                     QStringLiteral("-singlefile")};
    if (!crop.isNull())
        args << QStringLiteral("-x") << QString::number(crop.x()) << QStringLiteral("-y")
             << QString::number(crop.y()) << QStringLiteral("-W") << QString::number(crop.width())
             << QStringLiteral("-H") << QString::number(crop.height());
    args << pdf << out.path() + QStringLiteral("/page");
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QImage();
    return QImage(out.path() + QStringLiteral("/page.png")).convertToFormat(QImage::Format_RGB32);
}

QList<QPair<int, int>> runsAlong(const QImage& strip, const std::function<bool(QRgb)>& test,
                                 int offset)
{
    const bool horizontal = strip.height() == 1;
    const int n = horizontal ? strip.width() : strip.height();
    QList<QPair<int, int>> runs;
    int start = -1;
    for (int i = 0; i <= n; ++i) {
        const bool on = i < n && test(horizontal ? strip.pixel(i, 0) : strip.pixel(0, i));
        if (on && start < 0)
            start = i;
        if (!on && start >= 0) {
            runs.append({start + offset, i + offset});
            start = -1;
        }
    }
    return runs;
}

bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isGreen(QRgb c) { return qRed(c) < 80 && qGreen(c) > 100 && qBlue(c) < 80; }
bool isBlue(QRgb c) { return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) > 180; }
bool isYellow(QRgb c) { return qRed(c) > 180 && qGreen(c) > 180 && qBlue(c) < 80; }
bool isWhite(QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; }
bool isDark(QRgb c) { return qGray(c) < 100; }

QImage quadrantPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int hw = size.width() / 2;
    const int hh = size.height() / 2;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const bool right = x >= hw;
            const bool bottom = y >= hh;
            image.setPixel(x, y,
                           bottom ? (right ? qRgb(255, 255, 0) : qRgb(0, 0, 255))
                                  : (right ? qRgb(0, 160, 0) : qRgb(255, 0, 0)));
        }
    return image;
}

namespace {

quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray chunk(const char* type, const QByteArray& data)
{
    QByteArray body = QByteArray(type, 4) + data;
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    out += body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32Of(body), crc.data());
    return out + crc;
}

} // namespace

QByteArray palettePng(const QList<QList<int>>& indexRows, const QList<QRgb>& palette,
                      int bitDepth)
{
    const int height = int(indexRows.size());
    const int width = height ? int(indexRows.first().size()) : 0;
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = char(bitDepth);
    header[9] = 3;  // palette
    QByteArray plte;
    for (QRgb c : palette)
        plte += char(qRed(c)), plte += char(qGreen(c)), plte += char(qBlue(c));
    QByteArray raw;
    const int perByte = 8 / bitDepth;
    for (const QList<int>& row : indexRows) {
        raw += '\0';  // no filter
        for (int x = 0; x < width; x += perByte) {
            int byte = 0;
            for (int k = 0; k < perByte; ++k) {
                const int v = x + k < width ? row.at(x + k) : 0;
                byte |= v << (8 - bitDepth * (k + 1));
            }
            raw += char(byte);
        }
    }
    const QByteArray zlib = qCompress(raw).mid(4);  // qCompress prefixes the length
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("PLTE", plte) +
           chunk("IDAT", zlib) + chunk("IEND", QByteArray());
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace quadrela::test
