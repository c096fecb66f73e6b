#include "codecs/metafile.h"

#include "codecs/codec_util.h"
#include "core/convert.h"
#include "core/errors.h"
#include "core/ondemandlibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace quadrela {

namespace {

// Well-formed metafiles convert in milliseconds; broken ones have made both libraries loop
// for ever or crash, so the conversion runs in a child with a time limit.
constexpr int kConvertSeconds = 10;
constexpr qint64 kMaxSvgBytes = 256LL * 1024 * 1024;
constexpr double kDpi = 96.0;

// What a converter hands back: SVG text or an error message, and the picture size when
// the converter determined it.
struct Conversion
{
    bool ok = false;
    int width = 0;
    int height = 0;
    QByteArray text;
};

using Converter = std::function<Conversion(const QByteArray&)>;

// The converters' libraries, opened in this process before the first conversion (a child
// of a threaded process had better not load libraries itself) rather than at every start.
struct WmfFunctions
{
    decltype(&::wmf_api_create) wmf_api_create;
    decltype(&::wmf_api_destroy) wmf_api_destroy;
    decltype(&::wmf_display_size) wmf_display_size;
    decltype(&::wmf_mem_open) wmf_mem_open;
    decltype(&::wmf_play) wmf_play;
    decltype(&::wmf_scan) wmf_scan;
    decltype(&::wmf_stream_create) wmf_stream_create;
    decltype(&::wmf_stream_destroy) wmf_stream_destroy;
    decltype(&::wmf_svg_function) wmf_svg_function;
};

const WmfFunctions& libwmf()
{
    static OnDemandLibrary library(QUADRELA_LIBWMF_SONAME);
    static const WmfFunctions functions = [] {
        WmfFunctions f;
        library.bind(f.wmf_api_create, "wmf_api_create");
        library.bind(f.wmf_api_destroy, "wmf_api_destroy");
        library.bind(f.wmf_display_size, "wmf_display_size");
        library.bind(f.wmf_mem_open, "wmf_mem_open");
        library.bind(f.wmf_play, "wmf_play");
        library.bind(f.wmf_scan, "wmf_scan");
        library.bind(f.wmf_stream_create, "wmf_stream_create");
        library.bind(f.wmf_stream_destroy, "wmf_stream_destroy");
        library.bind(f.wmf_svg_function, "wmf_svg_function");
        return f;
    }();
    return functions;
}

struct EmfFunctions
{
    decltype(&::emf2svg) emf2svg;
};

const EmfFunctions& libemf2svg()
{
    static OnDemandLibrary library(QUADRELA_LIBEMF2SVG_SONAME);
    static const EmfFunctions functions = [] {
        EmfFunctions f;
        library.bind(f.emf2svg, "emf2svg");
        return f;
    }();
    return functions;
}

// ---- WMF ---------------------------------------------------------------------------

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;

// A placeable WMF states its bounding box in units per inch.
QSize placeableWmfSize(const QByteArray& bytes)
{
    if (bytes.size() < 22 || qFromLittleEndian<quint32>(bytes.constData()) != kPlaceableKey)
        return QSize();
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const int left = qFromLittleEndian<qint16>(p + 6);
    const int top = qFromLittleEndian<qint16>(p + 8);
    const int right = qFromLittleEndian<qint16>(p + 10);
    const int bottom = qFromLittleEndian<qint16>(p + 12);
    const int inch = qFromLittleEndian<quint16>(p + 14);
    if (inch == 0)
        return QSize();
    const double w = std::nearbyint(std::abs(right - left) * kDpi / inch);
    const double h = std::nearbyint(std::abs(bottom - top) * kDpi / inch);
    return QSize(int(std::max(w, 1.0)), int(std::max(h, 1.0)));
}

QByteArray wmfErrorText(wmf_error_t error)
{
    switch (error) {
    case wmf_E_InsMem:
        return "not enough memory";
    case wmf_E_BadFormat:
        return "the metafile is damaged";
    case wmf_E_EOF:
        return "the metafile ends too early";
    default:
        return "the metafile cannot be read";
    }
}

// libwmf draws every metafile with fonts of its own, even one without text: without them
// it refuses each file as unreadable. Times-Roman is the font it falls back on.
constexpr char kWmfFallbackFont[] = "NimbusRoman-Regular.t1";
constexpr char kWmfFontPackage[] = "fonts-urw-base35";

bool wmfFontsIn(const QString& folder)
{
    return QFileInfo(QDir(folder).filePath(QLatin1String(kWmfFallbackFont))).isFile();
}

Conversion wmfToSvg(const WmfFunctions& wmf, const QByteArray& bytes, const QByteArray& fontFolder)
{
    Conversion result;
    wmfAPI* api = nullptr;
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf.wmf_svg_function;
    // Searched before the folder built into libwmf.
    char* fontDirs[] = {const_cast<char*>(fontFolder.constData()), nullptr};
    options.fontdirs = fontDirs;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_FONTDIRS | WMF_OPT_IGNORE_NONFATAL |
                                WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmf_error_t error = wmf.wmf_api_create(&api, flags, &options);
    if (error != wmf_E_None) {
        if (api)
            wmf.wmf_api_destroy(api);
        result.text = wmfErrorText(error);
        return result;
    }
    // libwmf reads the buffer only, but takes it as non-const.
    QByteArray copy = bytes;
    wmfD_Rect bbox{};
    error = wmf.wmf_mem_open(api, reinterpret_cast<unsigned char*>(copy.data()), long(copy.size()));
    if (error == wmf_E_None)
        error = wmf.wmf_scan(api, 0, &bbox);
    unsigned int width = 0, height = 0;
    if (error == wmf_E_None)
        error = wmf.wmf_display_size(api, &width, &height, kDpi, kDpi);
    if (error == wmf_E_None) {
        wmf_svg_t* device = WMF_SVG_GetData(api);
        device->out = wmf.wmf_stream_create(api, nullptr);
        device->Description = const_cast<char*>("Quadrela");
        device->bbox = bbox;
        device->width = width;
        device->height = height;
        device->flags |= WMF_SVG_INLINE_IMAGES;
        error = wmf.wmf_play(api, 0, &bbox);
        char* svg = nullptr;
        unsigned long length = 0;
        wmf.wmf_stream_destroy(api, device->out, &svg, &length);
        if (error == wmf_E_None && svg) {
            result.ok = true;
            result.text = QByteArray(svg, qsizetype(length));
            result.width = int(width);
            result.height = int(height);
        }
    }
    if (!result.ok)
        result.text = wmfErrorText(error);
    wmf.wmf_api_destroy(api);
    return result;
}

// ---- EMF ---------------------------------------------------------------------------

// The EMF header's frame is in 0.01 mm. Nothing when the header is missing, an empty size
// when the frame is empty or absurd.
std::optional<QSize> emfFrameSize(const QByteArray& bytes)
{
    if (bytes.size() < 88)
        return std::nullopt;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    if (qFromLittleEndian<quint32>(p) != 1 || std::memcmp(p + 40, " EMF", 4) != 0)
        return std::nullopt;
    const qint64 left = qFromLittleEndian<qint32>(p + 24);
    const qint64 top = qFromLittleEndian<qint32>(p + 28);
    const qint64 right = qFromLittleEndian<qint32>(p + 32);
    const qint64 bottom = qFromLittleEndian<qint32>(p + 36);
    const double w = std::nearbyint(double(right - left) * kDpi / 2540.0);
    const double h = std::nearbyint(double(bottom - top) * kDpi / 2540.0);
    if (w < 1 || h < 1 || w > 1e9 || h > 1e9)
        return QSize(0, 0);
    return QSize(int(w), int(h));
}

Conversion emfToSvg(const EmfFunctions& emf, const QByteArray& bytes)
{
    Conversion result;
    const QSize frame = emfFrameSize(bytes).value_or(QSize(0, 0));
    generatorOptions options;
    std::memset(&options, 0, sizeof options);
    options.nameSpace = const_cast<char*>("svg");
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = frame.width();
    options.imgHeight = frame.height();
    QByteArray copy = bytes;
    char* svg = nullptr;
    size_t length = 0;
    const int ok = emf.emf2svg(copy.data(), size_t(copy.size()), &svg, &length, &options);
    if (ok && svg) {
        result.ok = true;
        result.text = QByteArray(svg, qsizetype(length));
    } else {
        result.text = "the enhanced metafile is damaged";
    }
    std::free(svg);
    return result;
}

// ---- running a converter in a child process ------------------------------------------

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// A damaged metafile can make a converter ask for gigabytes (libwmf's scan has asked for
// 3.9 GB on a 700-byte file). The child may map at most this much beyond what it started
// with; past it the converter's allocations fail and it reports the file as unreadable.
constexpr rlim_t kChildAddressSpace = 1024ULL * 1024 * 1024;

// The child's own address space now, from /proc (only system calls: the child of a
// process with threads should not lean on the C library's locks more than it must).
rlim_t currentAddressSpace()
{
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[64] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    rlim_t pages = 0;
    for (ssize_t i = 0; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        pages = pages * 10 + rlim_t(text[i] - '0');
    return pages * rlim_t(::sysconf(_SC_PAGESIZE));
}

void limitChildMemory()
{
    const rlim_t now = currentAddressSpace();
    if (now == 0)
        return;
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0)
        return;
    const rlim_t wanted = now + kChildAddressSpace;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < wanted)
        return;
    limit.rlim_cur = wanted;
    ::setrlimit(RLIMIT_AS, &limit);
}

[[noreturn]] void runChild(int fd, Converter convert, const QByteArray& bytes)
{
    limitChildMemory();
    const Conversion c = convert(bytes);
    const qint32 header[4] = {c.ok ? 1 : 0, c.width, c.height, qint32(c.text.size())};
    const bool written = writeAll(fd, reinterpret_cast<const char*>(header), sizeof header) &&
                         writeAll(fd, c.text.constData(), size_t(c.text.size()));
    ::_exit(written ? 0 : 3);
}

Conversion runIsolated(Converter convert, const QByteArray& bytes)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw Error(QStringLiteral("Não foi possível iniciar o conversor de metarquivos"));
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw Error(QStringLiteral("Não foi possível iniciar o conversor de metarquivos"));
    }
    if (pid == 0) {
        ::close(fds[0]);
        runChild(fds[1], convert, bytes);
    }
    ::close(fds[1]);

    QByteArray received;
    bool timedOut = false;
    bool tooLarge = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kConvertSeconds);
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd pfd{fds[0], POLLIN, 0};
        const int ready = ::poll(&pfd, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        received.append(buffer, n);
        if (received.size() > kMaxSvgBytes) {
            tooLarge = true;
            break;
        }
    }
    ::close(fds[0]);
    if (timedOut || tooLarge)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    if (timedOut)
        throw Error(QStringLiteral("Não foi possível ler o metarquivo: o conversor não "
                                   "terminou em %1 segundos")
                        .arg(kConvertSeconds));
    if (tooLarge)
        throw Error(QStringLiteral("Não foi possível ler o metarquivo: o desenho é grande demais"));
    if (WIFSIGNALED(status))
        throw Error(QStringLiteral("Não foi possível ler o metarquivo: o conversor parou "
                                   "(sinal %1)")
                        .arg(WTERMSIG(status)));
    qint32 header[4];
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        received.size() < qsizetype(sizeof header))
        throw Error(QStringLiteral("Não foi possível ler o metarquivo"));
    std::memcpy(header, received.constData(), sizeof header);
    if (header[3] < 0 || received.size() - qsizetype(sizeof header) != header[3])
        throw Error(QStringLiteral("Não foi possível ler o metarquivo"));
    Conversion result;
    result.ok = header[0] == 1;
    result.width = header[1];
    result.height = header[2];
    result.text = received.mid(sizeof header);
    return result;
}

} // namespace

QString wmfFontFolder()
{
    return QStringLiteral("/usr/share/fonts/type1/urw-base35");
}

MetafileSvg convertWmf(const QByteArray& bytes, const QString& fontFolder)
{
    // A WMF starts with the placeable key or a header of type 1 (memory) or 2 (disk) and
    // a header size of 9 words.
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const bool placeable = bytes.size() >= 22 && qFromLittleEndian<quint32>(p) == kPlaceableKey;
    const bool plain = bytes.size() >= 18 &&
                       (qFromLittleEndian<quint16>(p) == 1 || qFromLittleEndian<quint16>(p) == 2) &&
                       qFromLittleEndian<quint16>(p + 2) == 9;
    if (!placeable && !plain)
        throw Error(QStringLiteral("Metarquivo inválido: falta o cabeçalho WMF"));

    QSize size = placeableWmfSize(bytes);
    if (size.isValid())
        codec::checkPictureSize(size.width(), size.height());
    if (!wmfFontsIn(fontFolder))
        throw Error(QStringLiteral("Não é possível desenhar o metarquivo: as fontes de metarquivos "
                                   "não estão em %1 (pacote %2)")
                        .arg(QDir::toNativeSeparators(fontFolder), QLatin1String(kWmfFontPackage)));
    const QByteArray folder = QFile::encodeName(fontFolder);
    const WmfFunctions& wmf = libwmf();
    const Conversion c = runIsolated(
        [&wmf, &folder](const QByteArray& b) { return wmfToSvg(wmf, b, folder); }, bytes);
    if (!c.ok)
        throw Error(QStringLiteral("Metarquivo inválido: %1").arg(QString::fromUtf8(c.text)));
    if (!size.isValid())
        size = QSize(c.width, c.height);
    // libwmf copies the bytes of text records as they are (Windows code page) into an SVG
    // that declares no encoding, which XML reads as UTF-8.
    QByteArray svg = c.text;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8.decode(svg);
    if (utf8.hasError())
        svg = fromCp1252(c.text).toUtf8();
    codec::checkPictureSize(size.width(), size.height());
    return {svg, size};
}

MetafileSvg convertEmf(const QByteArray& bytes)
{
    const std::optional<QSize> frame = emfFrameSize(bytes);
    if (!frame)
        throw Error(QStringLiteral("Metarquivo avançado inválido: falta o cabeçalho EMF"));
    const QSize size = *frame;
    if (size.isEmpty())
        throw Error(QStringLiteral("Metarquivo avançado inválido: o quadro da imagem está vazio"));
    codec::checkPictureSize(size.width(), size.height());
    const EmfFunctions& emf = libemf2svg();
    const Conversion c =
        runIsolated([&emf](const QByteArray& b) { return emfToSvg(emf, b); }, bytes);
    if (!c.ok)
        throw Error(QStringLiteral("Metarquivo avançado inválido: %1").arg(QString::fromUtf8(c.text)));
    return {c.text, size};
}

} // namespace quadrela
