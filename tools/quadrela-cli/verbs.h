// The verbs of the command-line companion. Each verb gets the arguments after its name,
// writes its result, and returns the process exit status: 0 success, 1 the work failed
// (after printing the message), 2 usage error. A verb may throw quadrela::Error; the
// dispatcher prints its message and exits with 1.
#pragma once

#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace quadrela {
struct AppState;
struct DataFolders;
class TCampos;
} // namespace quadrela

namespace quadrela::cli {

class ScratchFolder;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Verb
{
    const char* name;
    const char* usage; // arguments after the verb's name
    int (*run)(const QStringList& args);
};

// The program's data folders for this executable, the writable one made ready. Throws Error
// naming the folder that cannot be made or written.
const DataFolders& cliDataFolders();
// A private scratch folder inside the writable data folder, removed with the object.
std::unique_ptr<ScratchFolder> scratchFolder();

// decode IN OUT.png
int runDecode(const QStringList& args);

// info [--data DIR] ARCHIVE
int runInfo(const QStringList& args);
// The JSON that info prints for the archive; dataFolder ends in "/". Throws Error with the
// message opening would show.
QString projectInfoJson(const QString& archivePath, const QString& dataFolder);

// pack OUT.vimel FILE...
int runPack(const QStringList& args);

// print [--data DIR] [--paper letter|a4] [--sheet NAME] [--start N] [--cut-marks] [--dpi N]
// [--merge DATA.csv [--rows A-B] [--quiet] [--skip-bad-rows]] ARCHIVE OUT.pdf
int runPrint(const QStringList& args);
// sheets: one card sheet a line, its name, a tab, then its description
int runSheets(const QStringList& args);
// render [--data DIR] ARCHIVE OUT.png
int runRender(const QStringList& args);
// export [--data DIR] [--dpi 150|300|600] [--front] ARCHIVE OUT.png|OUT.jpg
int runExport(const QStringList& args);

// A project archive opened as the program opens it (items created, pictures decoded,
// texts rendered) on an offscreen page, with a private working folder and scratch
// picture; picture items are scaled for printerPage. Runs work on it and returns its
// status; an archive that is not a project gives kExitFailed after the message.
struct OpenedPage
{
    AppState& state;
    TCampos& items;
    QWidget* page;
};
int withOpenedArchive(const QString& archive, QSize printerPage,
                      const std::function<int(const OpenedPage&)>& work);

} // namespace quadrela::cli
