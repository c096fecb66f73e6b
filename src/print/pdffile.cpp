#include "pdffile.h"

#include "core/errors.h"
#include "core/textfile.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cerrno>

namespace quadrela {

namespace {

// Passes the PDF engine's output on to the file in large pieces and remembers the first
// write the file did not take whole. The engine goes on after a failed write and ends
// its painter as if all was well, so only this device knows the file is cut short; from
// then on every write fails.
class CheckedOutput : public QIODevice
{
public:
    explicit CheckedOutput(QFileDevice& file) : m_file(file) {}

    // Writes what is still held back; false, with the reason, when anything was lost.
    bool finish()
    {
        if (!m_failed && !m_pending.isEmpty())
            passOn();
        return !m_failed;
    }
    const QString& reason() const { return m_reason; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failed)
            return -1;
        m_pending.append(data, size);
        if (m_pending.size() >= kPiece && !passOn())
            return -1;
        return size;
    }

private:
    static constexpr qsizetype kPiece = 1 << 16;

    bool passOn()
    {
        // The file buffers too: only its flush tells whether the disk took the bytes.
        errno = 0;
        if (m_file.write(m_pending) != m_pending.size() || !m_file.flush()) {
            m_failed = true;
            m_reason = failureReason(m_file, errno);
            setErrorString(m_reason);
        }
        m_pending.clear();
        return !m_failed;
    }

    QFileDevice& m_file;
    QByteArray m_pending;
    bool m_failed = false;
    QString m_reason;
};

} // namespace

bool writePdf(const QString& path, const QPageLayout& layout, int dpi,
              const std::function<bool(QPainter&, QPdfWriter&)>& draw)
{
    if (const QString refused = unwritableDestination(path); !refused.isEmpty())
        throw cannotWriteFile(path, refused);
    // Not committed, the temporary file goes away with the object, also when draw throws.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw cannotWriteFile(path, failureReason(file, errno));
    CheckedOutput output(file);
    output.open(QIODevice::WriteOnly);
    bool drawn = false;
    bool ended = false;
    {
        QPdfWriter writer(&output);
        writer.setTitle(QStringLiteral("Quadrela"));
        writer.setCreator(QStringLiteral("Quadrela"));
        writer.setResolution(dpi);
        writer.setPageLayout(layout);
        QPainter painter;
        if (!painter.begin(&writer))
            throw cannotWriteFile(path, output.reason());
        drawn = draw(painter, writer);
        ended = painter.end();
    }
    if (!drawn)
        return false;
    if (!output.finish() || !ended)
        throw cannotWriteFile(path, output.reason());
    errno = 0;
    if (!file.commit())
        throw cannotWriteFile(path, failureReason(file, errno));
    return true;
}

} // namespace quadrela
