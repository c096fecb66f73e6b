// The verbs of the command-line companion. Each verb gets the arguments after its name,
// writes its result, and returns the process exit status: 0 success, 1 the work failed
// (after printing the message), 2 usage error. A verb may throw quadrela::Error; the
// dispatcher prints its message and exits with 1.
#pragma once

#include <QStringList>

namespace quadrela::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Verb
{
    const char* name;
    const char* usage; // arguments after the verb's name
    int (*run)(const QStringList& args);
};

// decode IN OUT.png
int runDecode(const QStringList& args);

// info [--data DIR] ARCHIVE
int runInfo(const QStringList& args);
// The JSON that info prints for the archive; dataFolder ends in "/". Throws Error with the
// message opening would show.
QString projectInfoJson(const QString& archivePath, const QString& dataFolder);

// pack OUT.vimel FILE...
int runPack(const QStringList& args);

} // namespace quadrela::cli
