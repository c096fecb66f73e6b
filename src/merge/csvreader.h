// Spreadsheets saved as CSV, read one record at a time so that a sheet of any length
// takes the same memory. The dialect is found before reading: UTF-8 (with or without a
// byte-order mark) or Windows-1252, and the separator (semicolon, comma or tab) that
// splits the first records into the same number of fields.
#pragma once

#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <deque>
#include <memory>

namespace quadrela {

enum class CsvEncoding
{
    Utf8,
    Windows1252
};

struct CsvDialect
{
    CsvEncoding encoding = CsvEncoding::Utf8;
    bool byteOrderMark = false;
    char separator = ','; // '\0' when the header is one column: nothing splits a row
};

// Values longer than this are more than any text on a page can show; they are read as
// empty and the record tells which column held one.
inline constexpr qsizetype kMaxCsvFieldBytes = 64 * 1024;
// Larger files are refused before reading: no spreadsheet of addresses comes near it.
inline constexpr qint64 kMaxCsvFileBytes = 256LL * 1024 * 1024;

struct CsvRecord
{
    int line = 0; // the row as the spreadsheet numbers it: the header is row 1
    QStringList fields;
    int oversized = -1; // the first column whose value was too long, from 0; -1 for none
};

// Finds the dialect of the start of a file (the whole file when it is small). complete
// tells whether sample is the whole file: a multi-byte character cut at the end of a
// sample is no sign of Windows-1252.
CsvDialect detectCsvDialect(const QByteArray& sample, bool complete);

class CsvReader
{
public:
    // Opens the file, finds its dialect and reads the header row. Throws quadrela::Error
    // for a file that cannot be read, is not a regular file, is too large, is empty, is
    // not text or has no header.
    explicit CsvReader(const QString& path);
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    const CsvDialect& dialect() const { return m_dialect; }
    const QStringList& header() const { return m_header; }

    // The next data row, false after the last. Rows keep the number of fields they have
    // in the file; blank lines are no rows. Throws quadrela::Error when the file cannot be
    // read further.
    bool next(CsvRecord& record);

    // Back to the first data row.
    void rewind();

    const QString& path() const { return m_path; }

    struct Parser; // libcsv state and the records it has completed

private:
    bool fill();

    QString m_path;
    QFile m_file;
    CsvDialect m_dialect;
    QStringList m_header;
    std::unique_ptr<Parser> m_parser;
};

} // namespace quadrela
