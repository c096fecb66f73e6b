#include "codecs/jpeg.h"

#include "codecs/codec_util.h"
#include "core/errors.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace quadrela {

namespace {

// A progressive file may hold any number of scans; each one costs a pass over the whole
// picture, so a small file with thousands of scans would keep the program busy for minutes.
constexpr int kMaxScans = 500;

// libjpeg stops on errors by calling error_exit, which must not return. It longjmps back
// into the two functions below that called setjmp; they and the libjpeg frames in between
// hold nothing with a destructor.
struct JpegContext
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errorManager;
    jpeg_progress_mgr progress;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool dataEnded = false;
};

JpegContext* contextOf(j_common_ptr cinfo)
{
    // errorManager is reached through cinfo->err; the context is the decompressor's owner.
    return reinterpret_cast<JpegContext*>(reinterpret_cast<char*>(cinfo) -
                                          offsetof(JpegContext, cinfo));
}

[[noreturn]] void jpegFail(j_common_ptr cinfo)
{
    JpegContext* context = contextOf(cinfo);
    longjmp(context->jump, 1);
}

extern "C" void jpegErrorExit(j_common_ptr cinfo)
{
    (*cinfo->err->format_message)(cinfo, contextOf(cinfo)->message);
    jpegFail(cinfo);
}

// Warnings that mean the picture data is damaged: the decoder would go on with garbage, so
// the file is refused. Junk bytes between markers and other harmless oddities only warn and
// the picture is kept. A file cut short is shown as far as it decodes, as every viewer does:
// the decoder fills the rest with grey, and the damage that the cut itself causes later
// (the end met where data or a restart marker was due) is no reason to refuse it.
bool damagesPicture(int code)
{
    switch (code) {
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
        return true;
    default:
        return false;
    }
}

extern "C" void jpegEmitMessage(j_common_ptr cinfo, int level)
{
    JpegContext* context = contextOf(cinfo);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        context->dataEnded = true;
    if (level < 0 && !context->dataEnded && damagesPicture(cinfo->err->msg_code)) {
        (*cinfo->err->format_message)(cinfo, context->message);
        jpegFail(cinfo);
    }
}

extern "C" void jpegProgress(j_common_ptr cinfo)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        std::snprintf(contextOf(cinfo)->message, JMSG_LENGTH_MAX,
                      "more than %d progressive scans", kMaxScans);
        jpegFail(cinfo);
    }
}

struct JpegInfo
{
    int width;
    int height;
    bool cmyk;
    bool invertedCmyk;
};

bool jpegReadHeader(JpegContext* c, const unsigned char* data, unsigned long size, JpegInfo* info)
{
    if (setjmp(c->jump))
        return false;
    jpeg_mem_src(&c->cinfo, data, size);
    jpeg_read_header(&c->cinfo, TRUE);
    // The header ends at the first scan's start: a file that ends there has nothing to show.
    if (c->dataEnded || c->cinfo.src->bytes_in_buffer == 0) {
        std::snprintf(c->message, JMSG_LENGTH_MAX, "o arquivo termina antes dos dados da imagem");
        return false;
    }
    info->cmyk = c->cinfo.jpeg_color_space == JCS_CMYK || c->cinfo.jpeg_color_space == JCS_YCCK;
    // Adobe writes CMYK inverted (0 is full ink); its APP14 marker tells.
    info->invertedCmyk = info->cmyk && c->cinfo.saw_Adobe_marker;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const J_COLOR_SPACE rgb32 = JCS_EXT_BGRX;
#else
    const J_COLOR_SPACE rgb32 = JCS_EXT_XRGB;
#endif
    c->cinfo.out_color_space = info->cmyk ? JCS_CMYK : rgb32;
    jpeg_calc_output_dimensions(&c->cinfo);
    info->width = int(c->cinfo.output_width);
    info->height = int(c->cinfo.output_height);
    return true;
}

bool jpegReadPixels(JpegContext* c, JSAMPROW* rows, int height)
{
    if (setjmp(c->jump))
        return false;
    jpeg_start_decompress(&c->cinfo);
    if (c->cinfo.output_components != 4) {
        std::snprintf(c->message, JMSG_LENGTH_MAX, "disposição de pixels inesperada");
        return false;
    }
    while (c->cinfo.output_scanline < c->cinfo.output_height &&
           int(c->cinfo.output_scanline) < height) {
        if (jpeg_read_scanlines(&c->cinfo, rows + c->cinfo.output_scanline,
                                c->cinfo.output_height - c->cinfo.output_scanline) == 0) {
            std::snprintf(c->message, JMSG_LENGTH_MAX, "o arquivo JPEG termina antes da hora");
            return false;
        }
    }
    jpeg_finish_decompress(&c->cinfo);
    return true;
}

class Decompressor
{
public:
    Decompressor() : m_context(std::make_unique<JpegContext>())
    {
        JpegContext& c = *m_context;
        c.message[0] = '\0';
        c.cinfo.err = jpeg_std_error(&c.errorManager);
        c.errorManager.error_exit = jpegErrorExit;
        c.errorManager.emit_message = jpegEmitMessage;
        c.progress.progress_monitor = jpegProgress;
        if (setjmp(c.jump))
            throw Error(QStringLiteral("Memória insuficiente para ler uma imagem JPEG"));
        jpeg_create_decompress(&c.cinfo);
        c.cinfo.progress = &c.progress;
    }
    ~Decompressor() { jpeg_destroy_decompress(&m_context->cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    JpegContext* get() const { return m_context.get(); }

private:
    std::unique_ptr<JpegContext> m_context;
};

Error jpegError(const JpegContext& c)
{
    return Error(QStringLiteral("Imagem JPEG inválida: %1").arg(QString::fromUtf8(c.message)));
}

void cmykToRgb(QImage& image, bool inverted)
{
    for (int y = 0; y < image.height(); ++y) {
        uchar* p = image.scanLine(y);
        auto* out = reinterpret_cast<QRgb*>(p);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            int c = p[0], m = p[1], ye = p[2], k = p[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                ye = 255 - ye;
                k = 255 - k;
            }
            out[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
        }
    }
}

// Asks the decompressor for 1/denominator of the picture; the header has been read.
bool jpegSetScale(JpegContext* c, int denominator, JpegInfo* info)
{
    if (setjmp(c->jump))
        return false;
    c->cinfo.scale_num = 1;
    c->cinfo.scale_denom = unsigned(denominator);
    jpeg_calc_output_dimensions(&c->cinfo);
    info->width = int(c->cinfo.output_width);
    info->height = int(c->cinfo.output_height);
    return true;
}

JpegInfo readHeader(JpegContext* c, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        throw Error(QStringLiteral("Imagem JPEG inválida: o arquivo está vazio"));
    JpegInfo info{};
    if (!jpegReadHeader(c, reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<unsigned long>(bytes.size()), &info))
        throw jpegError(*c);
    return info;
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes)
{
    return decodeJpegScaled(bytes, 1);
}

QSize jpegPictureSize(const QByteArray& bytes)
{
    Decompressor decompressor;
    JpegContext* c = decompressor.get();
    const JpegInfo info = readHeader(c, bytes);
    return QSize(info.width, info.height);
}

QImage decodeJpegScaled(const QByteArray& bytes, int denominator)
{
    if (denominator != 2 && denominator != 4 && denominator != 8)
        denominator = 1;
    Decompressor decompressor;
    JpegContext* c = decompressor.get();
    JpegInfo info = readHeader(c, bytes);
    // The bound is the file's, whatever share of it is decoded.
    codec::checkPictureSize(info.width, info.height);
    if (denominator > 1 && !jpegSetScale(c, denominator, &info))
        throw jpegError(*c);

    QImage image(info.width, info.height, QImage::Format_RGB32);
    if (image.isNull())
        throw Error(QStringLiteral("Memória insuficiente para uma imagem de %1 x %2 pixels")
                        .arg(info.width)
                        .arg(info.height));
    std::vector<JSAMPROW> rows(size_t(info.height));
    for (int y = 0; y < info.height; ++y)
        rows[size_t(y)] = image.scanLine(y);
    if (!jpegReadPixels(c, rows.data(), info.height))
        throw jpegError(*c);
    if (info.cmyk)
        cmykToRgb(image, info.invertedCmyk);
    return image;
}

} // namespace quadrela
