#include "archive.h"
#include "core/errors.h"
#include "core/textfile.h"
#include "entryname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace quadrela {

namespace {

// An archive that was not closed successfully is discarded, which leaves the file on
// disk exactly as it was before.
struct ZipDiscard
{
    void operator()(zip_t* za) const { zip_discard(za); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose
{
    void operator()(zip_file_t* zf) const { zip_fclose(zf); }
};
using ZipFilePtr = std::unique_ptr<zip_file_t, ZipFileClose>;

struct InflaterFree
{
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// libzip words its errors in English; the ones a user can meet are said here in Portuguese,
// the rare others as libzip has them.
QString zipErrorText(zip_error_t* error)
{
    static const QHash<int, QString> texts = {
        {ZIP_ER_NOZIP, QStringLiteral("não é um arquivo ZIP")},
        {ZIP_ER_INCONS, QStringLiteral("o arquivo ZIP está danificado")},
        {ZIP_ER_EOF, QStringLiteral("o arquivo termina antes da hora")},
        {ZIP_ER_CRC, QStringLiteral("o conteúdo está danificado (erro de CRC)")},
        {ZIP_ER_ZLIB, QStringLiteral("o conteúdo comprimido está danificado")},
        {ZIP_ER_COMPNOTSUPP, QStringLiteral("método de compressão não suportado")},
        {ZIP_ER_ENCRNOTSUPP, QStringLiteral("criptografia não suportada")},
        {ZIP_ER_NOPASSWD, QStringLiteral("o arquivo é protegido por senha")},
        {ZIP_ER_WRONGPASSWD, QStringLiteral("o arquivo é protegido por senha")},
        {ZIP_ER_NOENT, QStringLiteral("o arquivo não existe")},
        {ZIP_ER_EXISTS, QStringLiteral("o nome já existe no arquivo")},
        {ZIP_ER_OPEN, QStringLiteral("não foi possível abrir o arquivo")},
        {ZIP_ER_READ, QStringLiteral("erro de leitura")},
        {ZIP_ER_SEEK, QStringLiteral("erro de leitura")},
        {ZIP_ER_WRITE, QStringLiteral("erro de gravação")},
        {ZIP_ER_TMPOPEN, QStringLiteral("não foi possível criar o arquivo temporário")},
        {ZIP_ER_RENAME, QStringLiteral("não foi possível substituir o arquivo")},
        {ZIP_ER_CLOSE, QStringLiteral("não foi possível fechar o arquivo")},
        {ZIP_ER_MEMORY, QStringLiteral("memória insuficiente")},
    };
    const auto known = texts.constFind(zip_error_code_zip(error));
    if (known == texts.cend())
        return QString::fromLocal8Bit(zip_error_strerror(error));
    // The system's own reason says what went wrong ("No space left on device").
    if (zip_error_system_type(error) == ZIP_ET_SYS && zip_error_code_system(error) != 0)
        return QStringLiteral("%1: %2").arg(
            *known, QString::fromLocal8Bit(std::strerror(zip_error_code_system(error))));
    return *known;
}

QString zipErrorText(zip_t* za)
{
    return zipErrorText(zip_get_error(za));
}

QString openErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = zipErrorText(&error);
    zip_error_fini(&error);
    return text;
}

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString entryName(zip_t* za, zip_uint64_t index)
{
    const char* raw = zip_get_name(za, index, ZIP_FL_ENC_RAW);
    if (!raw)
        return {};
    const QByteArray rawName(raw);
    // libzip hands back the raw bytes unchanged under ENC_STRICT only for flagged UTF-8
    // (and plain ASCII, where the flag makes no difference); unflagged names get converted.
    const char* strict = zip_get_name(za, index, ZIP_FL_ENC_STRICT);
    const bool flagged = strict && rawName == QByteArray(strict);
    return decodeEntryName(rawName, flagged);
}

// ---- packing -------------------------------------------------------------------------

struct PackItem
{
    QString name;
    QString path;
};

QList<PackItem> packList(const QStringList& files)
{
    QList<PackItem> items;
    QHash<QString, qsizetype> byName;
    for (const QString& path : files) {
        const QFileInfo info(path);
        if (!info.isFile())
            continue;
        const QString name = info.fileName();
        const auto found = byName.constFind(name);
        if (found != byName.constEnd()) {
            items[*found].path = path;
        } else {
            byName.insert(name, items.size());
            items.append({name, path});
        }
    }
    return items;
}

void writeEmptyArchive(const QString& archivePath)
{
    static const char endOfCentralDirectory[22] = {'P', 'K', 5, 6};
    QString reason;
    if (!writeWholeFile(archivePath,
                        QByteArray(endOfCentralDirectory, sizeof endOfCentralDirectory), &reason))
        throw cannotWriteFile(archivePath, reason);
}

void addFile(zip_t* za, const PackItem& item, const QString& archivePath)
{
    const auto fail = [&](const QString& reason) {
        return Error(QStringLiteral("Não foi possível incluir %1 no arquivo %2: %3")
                         .arg(nativePath(item.path), nativePath(archivePath), reason));
    };
    // The data is read only when the archive is closed; checking now names the culprit.
    QFile probe(item.path);
    if (!probe.open(QIODevice::ReadOnly))
        throw fail(probe.errorString());
    probe.close();

    struct stat st;
    if (::stat(QFile::encodeName(item.path).constData(), &st) != 0)
        throw fail(QString::fromLocal8Bit(std::strerror(errno)));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_file_create(QFile::encodeName(item.path).constData(), 0, -1, &error);
    if (!source) {
        const QString reason = zipErrorText(&error);
        zip_error_fini(&error);
        throw fail(reason);
    }
    zip_error_fini(&error);

    const EncodedEntryName encoded = encodeEntryName(item.name);
    const zip_flags_t nameFlags = encoded.utf8 ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437;
    const zip_int64_t index = zip_file_add(za, encoded.bytes.constData(), source, nameFlags);
    if (index < 0) {
        zip_source_free(source);
        throw fail(zipErrorText(za));
    }
    const zip_uint32_t mode = S_IFREG | (st.st_mode & 0777);
    if (zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 6) != 0 ||
        zip_file_set_external_attributes(za, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, mode << 16) !=
            0)
        throw fail(zipErrorText(za));
}

// A save that was killed leaves libzip's temporary file "<archive>.XXXXXX" (six letters or
// digits) beside the archive, and libzip never looks for it again. Only a file named exactly
// so that holds the start of an archive that was never finished (no end-of-central-directory
// record) is taken for one: "projeto.vimel.backup", a whole copy the user made, stays.
bool unfinishedArchive(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    if (!head.isEmpty() && head != QByteArray("PK\x03\x04", 4))
        return false;
    const qint64 tail = std::min<qint64>(file.size(), 22 + 65535); // the record and a comment
    return file.seek(file.size() - tail) && !file.read(tail).contains(QByteArray("PK\x05\x06", 4));
}

void removeInterruptedSaves(const QString& archivePath)
{
    const QFileInfo archive(archivePath);
    const QDir folder = archive.absoluteDir();
    const QString prefix = archive.fileName() + u'.';
    const auto isTemporaryChar = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    };
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            continue;
        const QStringView suffix = QStringView(name).right(6);
        if (std::all_of(suffix.begin(), suffix.end(), isTemporaryChar) &&
            unfinishedArchive(folder.filePath(name)))
            QFile::remove(folder.filePath(name));
    }
}

// ---- unpacking -----------------------------------------------------------------------

enum class EntryKind
{
    File,
    Skip
};

EntryKind entryKind(zip_t* za, zip_uint64_t index, const QString& bareName)
{
    if (bareName.isEmpty() || bareName == u"." || bareName == u"..")
        return EntryKind::Skip;
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) != 0)
        return EntryKind::File;
    constexpr zip_uint32_t dosDirectory = 0x10;
    if (opsys == ZIP_OPSYS_UNIX) {
        const zip_uint32_t type = (attributes >> 16) & S_IFMT;
        // Some writers store only permission bits; no type means a plain file.
        if (type != 0 && type != S_IFREG)
            return EntryKind::Skip;
    } else if (opsys == ZIP_OPSYS_DOS && (attributes & dosDirectory)) {
        return EntryKind::Skip;
    }
    return EntryKind::File;
}

mode_t unpackedMode(zip_t* za, zip_uint64_t index)
{
    mode_t mode = S_IRUSR | S_IWUSR;
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) == 0 &&
        opsys == ZIP_OPSYS_UNIX)
        mode |= (attributes >> 16) & S_IXUSR;
    return mode;
}

class Unpacker
{
public:
    using FileWritten = std::function<void(const QString&, const QString&)>;

    Unpacker(const QString& archivePath, const QString& destFolder, const UnpackLimits& limits,
             const FileWritten& fileWritten)
        : m_archivePath(archivePath), m_dest(destFolder), m_limits(limits),
          m_fileWritten(fileWritten)
    {
    }

    void run()
    {
        int code = 0;
        m_za.reset(zip_open(QFile::encodeName(m_archivePath).constData(), ZIP_RDONLY, &code));
        if (!m_za)
            throw Error(QStringLiteral("Não foi possível abrir o arquivo %1: %2")
                            .arg(nativePath(m_archivePath), openErrorText(code)));
        const zip_int64_t count = zip_get_num_entries(m_za.get(), 0);
        if (count > m_limits.maxEntries)
            throw Error(QStringLiteral("O arquivo %1 tem %2 entradas, mais do que o limite de %3.")
                            .arg(nativePath(m_archivePath))
                            .arg(count)
                            .arg(m_limits.maxEntries));
        prepareDestination();
        if (m_fileWritten) {
            for (zip_int64_t i = 0; i < count; ++i) {
                const QString bare = entryBareName(entryName(m_za.get(), zip_uint64_t(i)));
                if (entryKind(m_za.get(), zip_uint64_t(i), bare) == EntryKind::File)
                    ++m_landings[bare];
            }
        }
        for (zip_int64_t i = 0; i < count; ++i)
            extract(zip_uint64_t(i));
    }

private:
    Error entryError(const QString& name, const QString& reason) const
    {
        return Error(QStringLiteral("Não foi possível extrair \"%1\" do arquivo %2: %3")
                         .arg(name, nativePath(m_archivePath), reason));
    }

    void prepareDestination()
    {
        // Unpacking through a link would write into the folder it points at.
        if (QFileInfo(QDir::cleanPath(m_dest)).isSymLink())
            throw Error(QStringLiteral("A pasta %1 é um link simbólico, que o Quadrela não segue.")
                            .arg(nativePath(m_dest)));
        if (!QDir().mkpath(m_dest) || !QFileInfo(m_dest).isDir())
            throw Error(
                QStringLiteral("Não foi possível criar a pasta %1.").arg(nativePath(m_dest)));
    }

    // A deflated entry of ordinary size is inflated in one piece by libdeflate, a good deal
    // faster than zlib's streaming inflate. Whatever it does not take (an unusual method or
    // size, damaged data) goes the streaming way, which names the fault.
    bool inflateWhole(zip_uint64_t index, const zip_stat_t& st, QByteArray& data)
    {
        constexpr zip_uint64_t kWholeEntryBytes = 32 << 20;
        constexpr zip_uint64_t kNeeded =
            ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
        if ((st.valid & kNeeded) != kNeeded || st.comp_method != ZIP_CM_DEFLATE ||
            st.size > kWholeEntryBytes || st.comp_size > kWholeEntryBytes ||
            qint64(st.size) > m_limits.maxBytes - m_written)
            return false;
        const ZipFilePtr raw(zip_fopen_index(m_za.get(), index, ZIP_FL_COMPRESSED));
        if (!raw)
            return false;
        QByteArray packed(qsizetype(st.comp_size), Qt::Uninitialized);
        if (zip_fread(raw.get(), packed.data(), st.comp_size) != zip_int64_t(st.comp_size))
            return false;
        if (!m_inflater)
            m_inflater.reset(libdeflate_alloc_decompressor());
        data = QByteArray(qsizetype(st.size), Qt::Uninitialized);
        return m_inflater &&
               libdeflate_deflate_decompress(m_inflater.get(), packed.constData(),
                                             size_t(packed.size()), data.data(),
                                             size_t(data.size()), nullptr) == LIBDEFLATE_SUCCESS &&
               libdeflate_crc32(0, data.constData(), size_t(data.size())) == st.crc;
    }

    void extract(zip_uint64_t index)
    {
        zip_t* za = m_za.get();
        const QString name = entryName(za, index);
        const QString bare = entryBareName(name);
        if (entryKind(za, index, bare) == EntryKind::Skip)
            return;

        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, index, 0, &st) != 0)
            throw entryError(name, zipErrorText(za));
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            throw entryError(name, QStringLiteral("o conteúdo está protegido por senha."));
        if ((st.valid & ZIP_STAT_COMP_METHOD) &&
            !zip_compression_method_supported(st.comp_method, 0))
            throw entryError(
                name,
                QStringLiteral("método de compressão não suportado (%1).").arg(st.comp_method));

        // Written beside the target and renamed over it: a failure leaves no half file
        // under the entry's name, and a symbolic link at the target is replaced, not followed.
        QTemporaryFile out(QDir(m_dest).filePath(QStringLiteral(".quadrela-unpack-XXXXXX")));
        if (!out.open())
            throw entryError(name, out.errorString());

        QByteArray whole;
        if (inflateWhole(index, st, whole)) {
            errno = 0;
            if (out.write(whole) != whole.size())
                throw entryError(name, failureReason(out, errno));
            m_written += whole.size();
        } else {
            ZipFilePtr in(zip_fopen_index(za, index, 0));
            if (!in)
                throw entryError(name, zipErrorText(za));
            std::vector<char> buffer(64 * 1024);
            for (;;) {
                const zip_int64_t n = zip_fread(in.get(), buffer.data(), buffer.size());
                if (n < 0)
                    throw entryError(name, QString::fromLocal8Bit(zip_file_strerror(in.get())));
                if (n == 0)
                    break;
                if (n > m_limits.maxBytes - m_written)
                    throw Error(
                        QStringLiteral("O conteúdo do arquivo %1 passa do limite de %2 bytes.")
                            .arg(nativePath(m_archivePath))
                            .arg(m_limits.maxBytes));
                errno = 0;
                if (out.write(buffer.data(), n) != n)
                    throw entryError(name, failureReason(out, errno));
                m_written += n;
            }
            // libzip checks the CRC when the data ends; closing reports what is left.
            if (zip_fclose(in.release()) != 0)
                throw entryError(name, QStringLiteral("os dados estão corrompidos."));
        }

        errno = 0;
        if (!out.flush())
            throw entryError(name, failureReason(out, errno));
        ::fchmod(out.handle(), unpackedMode(za, index));
        if (st.valid & ZIP_STAT_MTIME) {
            const struct timespec times[2] = {{st.mtime, 0}, {st.mtime, 0}};
            ::futimens(out.handle(), times);
        }
        out.close();
        const QString target = QDir(m_dest).filePath(bare);
        if (std::rename(QFile::encodeName(out.fileName()).constData(),
                        QFile::encodeName(target).constData()) != 0)
            throw entryError(name, QString::fromLocal8Bit(std::strerror(errno)));
        out.setAutoRemove(false);
        // Told once the last entry of its name has landed, so nothing replaces it after.
        if (m_fileWritten && --m_landings[bare] == 0)
            m_fileWritten(bare, target);
    }

    QString m_archivePath;
    QString m_dest;
    UnpackLimits m_limits;
    FileWritten m_fileWritten;
    QHash<QString, int> m_landings; // bare name -> entries still to unpack under it
    ZipPtr m_za;
    std::unique_ptr<libdeflate_decompressor, InflaterFree> m_inflater;
    qint64 m_written = 0;
};

} // namespace

int PackArchive(const QString& archivePath, const QStringList& files)
{
    const QList<PackItem> items = packList(files);
    removeInterruptedSaves(archivePath);
    const bool existed = QFileInfo::exists(archivePath);
    if (items.isEmpty() && !existed) {
        // libzip writes nothing for an archive without entries; the caller asked for a file.
        writeEmptyArchive(archivePath);
        return 0;
    }

    int code = 0;
    ZipPtr za(zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE, &code));
    if (!za)
        throw cannotWriteFile(archivePath, openErrorText(code));

    QSet<QString> listed;
    for (const PackItem& item : items)
        listed.insert(item.name.toCaseFolded());
    // An older entry that would unpack under a listed name is superseded by that file,
    // wherever it sits in the archive and however its name was encoded. Windows does not
    // tell "PROJECT.TXT" from "project.txt", so there an old entry of the other case would
    // land on the new file.
    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString bare = entryBareName(entryName(za.get(), zip_uint64_t(i)));
        if (!listed.contains(bare.toCaseFolded()))
            continue;
        if (zip_delete(za.get(), zip_uint64_t(i)) != 0)
            throw Error(
                QStringLiteral("Não foi possível atualizar o arquivo %1: %2")
                    .arg(nativePath(archivePath), zipErrorText(za.get())));
    }

    for (const PackItem& item : items)
        addFile(za.get(), item, archivePath);

    if (zip_close(za.get()) != 0)
        throw cannotWriteFile(archivePath, zipErrorText(za.get()));
    za.release();
    return int(items.size());
}

void UnpackArchive(const QString& archivePath, const QString& destFolder,
                   const UnpackLimits& limits,
                   const std::function<void(const QString&, const QString&)>& fileWritten)
{
    Unpacker(archivePath, destFolder, limits, fileWritten).run();
}

QList<QByteArray> peekArchiveEntries(const QString& archivePath, const QStringList& bareNames,
                                     qint64 maxBytes)
{
    QList<QByteArray> contents(bareNames.size());
    int code = 0;
    const ZipPtr za(zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &code));
    if (!za)
        return contents;
    QList<zip_int64_t> exact(bareNames.size(), -1);
    QList<zip_int64_t> otherCase(bareNames.size(), -1);
    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString bare = entryBareName(entryName(za.get(), zip_uint64_t(i)));
        for (qsizetype n = 0; n < bareNames.size(); ++n) {
            if (bare == bareNames.at(n))
                exact[n] = i;
            else if (otherCase.at(n) < 0 && bare.compare(bareNames.at(n), Qt::CaseInsensitive) == 0)
                otherCase[n] = i;
        }
    }
    for (qsizetype n = 0; n < bareNames.size(); ++n) {
        const zip_int64_t index = exact.at(n) >= 0 ? exact.at(n) : otherCase.at(n);
        zip_stat_t st;
        zip_stat_init(&st);
        if (index < 0 || zip_stat_index(za.get(), zip_uint64_t(index), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(maxBytes))
            continue;
        const ZipFilePtr in(zip_fopen_index(za.get(), zip_uint64_t(index), 0));
        QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
        if (in && zip_fread(in.get(), bytes.data(), st.size) == zip_int64_t(st.size))
            contents[n] = bytes;
    }
    return contents;
}

} // namespace quadrela
