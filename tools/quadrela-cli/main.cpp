// quadrela-cli: the program's libraries for scripts and batch work, without a display.
#include "scratch.h"
#include "verbs.h"

#include "core/errors.h"

#include <QApplication>
#include <QFile>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iterator>

namespace quadrela::cli {
namespace {

// Add a verb here and in verbs.h; its code goes in verb_<name>.cpp.
constexpr Verb kVerbs[] = {
    {"decode", "IN OUT.png", runDecode},
    {"print",
     "[--data DIR] [--paper letter|a4] [--sheet NAME] [--start N] [--cut-marks] [--dpi N] "
     "[--offset X,Y] [--merge DATA.csv [--rows A-B] [--quiet] [--skip-bad-rows]] ARCHIVE OUT.pdf",
     runPrint},
    {"sheets", "", runSheets},
    {"render", "[--data DIR] ARCHIVE OUT.png", runRender},
    {"export", "[--data DIR] [--dpi 150|300|600] [--front] ARCHIVE OUT.png|OUT.jpg", runExport},
    {"info", "[--data DIR] ARCHIVE", runInfo},
    {"pack", "OUT.vimel FILE...", runPack},
};

void printLine(const QString& text, FILE* stream = stderr)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
}

// On standard output when asked for, else with the usage error on standard error.
int usage(FILE* stream = stderr)
{
    printLine(QStringLiteral("usage: quadrela-cli VERB ARGUMENTS..."), stream);
    for (const Verb& verb : kVerbs)
        printLine(QStringLiteral("  quadrela-cli %1 %2")
                      .arg(QLatin1String(verb.name), QLatin1String(verb.usage))
                      .trimmed()
                      .prepend(QStringLiteral("  ")),
                  stream);
    printLine(QStringLiteral("  quadrela-cli --help"), stream);
    return stream == stderr ? kExitUsage : kExitOk;
}

int dispatch(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return usage();
    const QString name = arguments.at(1);
    if (name == u"--help" || name == u"-h")
        return usage(stdout);
    for (const Verb& verb : kVerbs) {
        if (name != QLatin1String(verb.name))
            continue;
        try {
            const int status = verb.run(arguments.mid(2));
            if (status == kExitUsage)
                printLine(QStringLiteral("usage: quadrela-cli %1 %2")
                              .arg(QLatin1String(verb.name), QLatin1String(verb.usage)));
            return status;
        } catch (const Error& e) {
            printLine(e.message());
        } catch (const std::exception& e) {
            printLine(QString::fromLocal8Bit(e.what()));
        }
        return kExitFailed;
    }
    printLine(QStringLiteral("unknown verb: %1").arg(name));
    return usage();
}

} // namespace
} // namespace quadrela::cli

int main(int argc, char* argv[])
{
    quadrela::cli::removeScratchOnSignals();
    // No display is needed; pictures and text are drawn offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Run from a script or a service there may be no per-user runtime folder; a private
    // one keeps Qt from warning about it on standard error, which scripts read.
    std::unique_ptr<quadrela::cli::ScratchFolder> runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        try {
            runtimeDir = quadrela::cli::ScratchFolder::create(QDir::tempPath(),
                                                              QStringLiteral("quadrela-cli-"));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
        } catch (const quadrela::Error&) {
            // Qt then warns about the missing folder; nothing else depends on it.
        }
    }
    // Widgets: print and render open projects onto an offscreen page.
    QApplication app(argc, argv);
    return quadrela::cli::dispatch(QCoreApplication::arguments());
}
