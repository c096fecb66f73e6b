// pack OUT.vimel FILE...: packs the files into a project archive, each under its bare name,
// or updates the archive when it exists (how the shipped templates are built).
#include "verbs.h"

#include "core/paths.h"
#include "zip/archive.h"

#include <cstdio>

namespace quadrela::cli {

int runPack(const QStringList& args)
{
    if (args.size() < 2)
        return kExitUsage;
    const QStringList files = args.mid(1);
    // The archive skips names that are not files; say so, since a template built without
    // one of its pictures would open with the missing-picture notice.
    for (const QString& file : files) {
        if (!fileExists(file)) {
            const QByteArray line =
                QStringLiteral("aviso: %1 não é um arquivo e não foi incluído\n")
                    .arg(file)
                    .toUtf8();
            std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        }
    }
    PackArchive(args.at(0), files);
    return kExitOk;
}

} // namespace quadrela::cli
