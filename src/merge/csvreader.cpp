#include "csvreader.h"

#include "core/convert.h"
#include "core/errors.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>

#include <csv.h>

namespace quadrela {

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr int kSampleRecords = 20;
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// Values are kept exactly as the spreadsheet wrote them: libcsv would otherwise drop
// blanks around unquoted fields, and with them tabs that separate fields.
int noSpace(unsigned char)
{
    return 0;
}

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

struct CsvReader::Parser
{
    explicit Parser(const CsvDialect& dialect) : encoding(dialect.encoding)
    {
        csv_init(&parser, 0);
        csv_set_delim(&parser, static_cast<unsigned char>(dialect.separator));
        csv_set_space_func(&parser, noSpace);
    }
    ~Parser() { csv_free(&parser); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    QString decode(const char* bytes, size_t size)
    {
        const QByteArrayView view(bytes, qsizetype(size));
        if (encoding == CsvEncoding::Utf8)
            return QString::fromUtf8(view);
        return fromCp1252(view);
    }

    static void onField(void* bytes, size_t size, void* self)
    {
        auto* p = static_cast<Parser*>(self);
        if (size > size_t(kMaxCsvFieldBytes)) {
            if (p->oversized < 0)
                p->oversized = int(p->fields.size());
            p->fields.append(QString());
            return;
        }
        p->fields.append(p->decode(static_cast<const char*>(bytes), size));
    }

    // Rows of empty cells, which spreadsheets write below the data as ";;;", are no rows;
    // they still take a row number.
    static void onRecord(int, void* self)
    {
        auto* p = static_cast<Parser*>(self);
        ++p->line;
        const bool blank = std::all_of(p->fields.cbegin(), p->fields.cend(),
                                       [](const QString& f) { return f.isEmpty(); });
        if (!blank || p->oversized >= 0)
            p->done.push_back(CsvRecord{p->line, p->fields, p->oversized});
        p->fields.clear();
        p->oversized = -1;
    }

    void feed(const QByteArray& bytes)
    {
        if (csv_parse(&parser, bytes.constData(), size_t(bytes.size()), onField, onRecord,
                               this) != size_t(bytes.size()))
            throw Error(QString::fromLatin1(csv_strerror(csv_error(&parser))));
    }
    void finish() { csv_fini(&parser, onField, onRecord, this); }

    csv_parser parser;
    CsvEncoding encoding;
    QStringList fields;
    int oversized = -1;
    std::deque<CsvRecord> done;
    int line = 0;
    bool finished = false;
};

CsvDialect detectCsvDialect(const QByteArray& sample, bool complete)
{
    CsvDialect dialect;
    QByteArray body = sample;
    if (body.startsWith(kUtf8Bom)) {
        dialect.byteOrderMark = true;
        body.remove(0, kUtf8Bom.size());
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(body);
    // A sample cut inside a character leaves the decoder waiting, which is no error.
    const bool valid = !utf8.hasError();
    dialect.encoding =
        valid || dialect.byteOrderMark ? CsvEncoding::Utf8 : CsvEncoding::Windows1252;

    // The separator that splits most of the first records into as many fields as the
    // header has, the header having more than one; then the one giving the most columns.
    // A header that no separator splits is one column, and so is every row: a comma in
    // "Souza, Ana" is then part of the name.
    dialect.separator = '\0';
    constexpr std::array<char, 3> kCandidates{';', '\t', ','};
    int bestScore = -1;
    qsizetype bestColumns = 0;
    for (char separator : kCandidates) {
        CsvDialect trial = dialect;
        trial.separator = separator;
        CsvReader::Parser parser(trial);
        parser.feed(body);
        // A header longer than the sample is still counted, cut where the sample ends.
        if (complete || parser.done.empty())
            parser.finish();
        if (parser.done.empty())
            continue;
        const qsizetype columns = parser.done.front().fields.size();
        if (columns < 2)
            continue;
        int score = 0;
        int seen = 0;
        for (const CsvRecord& record : parser.done) {
            if (++seen > kSampleRecords)
                break;
            score += record.fields.size() == columns ? 1 : 0;
        }
        if (score > bestScore || (score == bestScore && columns > bestColumns)) {
            bestScore = score;
            bestColumns = columns;
            dialect.separator = separator;
        }
    }
    return dialect;
}

CsvReader::CsvReader(const QString& path) : m_path(path), m_file(path)
{
    // A device or a pipe may never end; it is refused before it is opened.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw Error(QStringLiteral("%1 não é um arquivo comum: escolha uma planilha salva em "
                                   "CSV.")
                        .arg(shownPath(path)));
    const auto tooLarge = [&] {
        return Error(QStringLiteral("O arquivo %1 é grande demais para uma planilha (mais de "
                                    "%2 MB).")
                         .arg(shownPath(path))
                         .arg(kMaxCsvFileBytes / (1024 * 1024)));
    };
    if (info.size() > kMaxCsvFileBytes)
        throw tooLarge();
    if (!m_file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(shownPath(path));

    // One pass over the whole file: text or not, and whether all of it is UTF-8.
    QByteArray sample;
    QStringDecoder utf8(QStringDecoder::Utf8);
    qint64 total = 0;
    qint64 controls = 0;
    while (!m_file.atEnd()) {
        const QByteArray chunk = m_file.read(kChunk);
        if (chunk.isEmpty())
            throw cannotOpenFile(shownPath(path));
        for (char c : chunk) {
            const auto b = static_cast<unsigned char>(c);
            if (b == 0)
                throw Error(QStringLiteral("O arquivo %1 não é uma planilha em texto (CSV).")
                                .arg(shownPath(path)));
            if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
                ++controls;
        }
        const QString decoded = utf8.decode(chunk);
        if (sample.isEmpty())
            sample = chunk;
        total += chunk.size();
        // The file may be growing while it is read.
        if (total > kMaxCsvFileBytes)
            throw tooLarge();
    }
    if (controls * 100 > total)
        throw Error(
            QStringLiteral("O arquivo %1 não é uma planilha em texto (CSV).").arg(shownPath(path)));

    m_dialect = detectCsvDialect(sample, total == sample.size());
    if (utf8.hasError() && !m_dialect.byteOrderMark)
        m_dialect.encoding = CsvEncoding::Windows1252;

    rewind();
    CsvRecord header;
    if (!next(header))
        throw Error(QStringLiteral("O arquivo %1 está vazio.").arg(shownPath(path)));
    if (header.oversized >= 0)
        throw Error(QStringLiteral("Linha 1, coluna %1: o nome da coluna tem mais de %2 kB.")
                        .arg(header.oversized + 1)
                        .arg(kMaxCsvFieldBytes / 1024));
    m_header = header.fields;
}

CsvReader::~CsvReader() = default;

void CsvReader::rewind()
{
    m_file.seek(m_dialect.byteOrderMark ? kUtf8Bom.size() : 0);
    m_parser = std::make_unique<Parser>(m_dialect);
    if (!m_header.isEmpty()) {
        CsvRecord header;
        next(header);
    }
}

bool CsvReader::fill()
{
    while (m_parser->done.empty() && !m_parser->finished) {
        const QByteArray chunk = m_file.read(kChunk);
        if (chunk.isEmpty()) {
            if (m_file.error() != QFileDevice::NoError)
                throw cannotOpenFile(shownPath(m_path));
            m_parser->finish();
            m_parser->finished = true;
        } else {
            m_parser->feed(chunk);
        }
    }
    return !m_parser->done.empty();
}

bool CsvReader::next(CsvRecord& record)
{
    if (!fill())
        return false;
    record = std::move(m_parser->done.front());
    m_parser->done.pop_front();
    return true;
}

} // namespace quadrela
