#include "core/ondemandlibrary.h"

#include "core/errors.h"

#include <QMutexLocker>

namespace quadrela {

OnDemandLibrary::OnDemandLibrary(const char* soname) : m_library(QString::fromLatin1(soname)) {}

QFunctionPointer OnDemandLibrary::address(const char* name)
{
    const QMutexLocker lock(&m_mutex);
    if (!m_library.isLoaded() && !m_library.load())
        throw Error(QStringLiteral("A biblioteca %1 não pôde ser carregada: %2\n"
                                   "O programa precisa ser reinstalado.")
                        .arg(m_library.fileName(), m_library.errorString()));
    const QFunctionPointer found = m_library.resolve(name);
    if (!found)
        throw Error(QStringLiteral("A biblioteca %1 não tem a função %2.\n"
                                   "O programa precisa ser reinstalado.")
                        .arg(m_library.fileName(), QLatin1String(name)));
    return found;
}

} // namespace quadrela
