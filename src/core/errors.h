// The program's failures. Every failure is an exception carrying the message the
// user reads; the application's error report shows it and keeps the program running.
#pragma once

#include <QString>
#include <exception>

namespace quadrela {

class Error : public std::exception
{
public:
    explicit Error(QString message);
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The fixed messages.
Error conversionError(const QString& value);          // "'%s' is not a valid integer value"
Error cannotOpenFile(const QString& path);            // "Cannot open file %s"
Error listIndexError(qint64 index);                   // "List index out of bounds (%d)"
Error unknownExtension(const QString& extension);     // "Unknown picture file extension (.%s)"
Error pngAlphaTransparencyRefused();
// "Não foi possível gravar o arquivo PATH." or, with the system's reason, "...PATH: REASON."
Error cannotWriteFile(const QString& path, const QString& reason = QString());
Error assertionFailed(const QString& condition, const QString& file, int line);  // "%s (%s, line %d)"

} // namespace quadrela
