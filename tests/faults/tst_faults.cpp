// Saving must never cost the user the project: whatever goes wrong while the records are
// written or the archive is packed (the file system refusing writes, the process killed),
// the archive saved before is left byte for byte as it was and the working folder still
// holds the project. When the program survives the fault, the user is told.
#include "codecs/png.h"
#include "core/convert.h"
#include "core/textfile.h"
#include "imaging/textrender.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/screencursor.h"
#include "scripteddialogs.h"
#include "storage/project.h"
#include "storage/records.h"
#include "workspace.h"
#include "zip/archive.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>

using namespace quadrela;
using namespace quadrela::test;

namespace {

// The page as the main window holds it, on a data folder given or of its own.
class Page
{
public:
    explicit Page(const QString& dataFolder = QString())
    {
        if (!dataFolder.isEmpty()) {
            ws.state.dataFolder = dataFolder;
            ws.state.workingFolder = dataFolder + QStringLiteral("project/");
        }
        window.setAttribute(Qt::WA_DontShowOnScreen);
        page = new QWidget(&window);
        page->setGeometry(QRect(QPoint(10, 10), pageSizeFor(FullPage)));
        background = new TFocusImage(page);
        background->setGeometry(1, 1, 494, 700);
        PageContext context;
        context.state = &ws.state;
        context.page = page;
        context.background = background;
        context.renderFailed = [](const QString&) {};
        items = std::make_unique<TCampos>(std::move(context));
        SetUpPage(ctx(), FullPage);
    }
    ~Page() { resetScreenCursor(); }

    ProjectContext ctx() { return ProjectContext{ws.state, *items, page, background, dialogs, &window}; }
    QString work(const QString& name) const { return ws.state.workingFolder + name; }

    // A picture item for a file already in the working folder.
    void addPicture(const QString& name, QRect geometry)
    {
        const int index = items->Add(PictureItem, work(name));
        TDesc d;
        d.FileName = work(name);
        items->Items(index).SetAttributes(d);
        items->Items(index).Image()->setGeometry(geometry);
    }
    // Every picture of the working folder, in name order.
    void addWorkingFolderPictures()
    {
        const QStringList names = QDir(ws.state.workingFolder)
                                      .entryList({QStringLiteral("*.bmp"), QStringLiteral("*.png")},
                                                 QDir::Files, QDir::Name);
        for (qsizetype i = 0; i < names.size(); ++i)
            addPicture(names.at(i), QRect(int(i) * 20, int(i) * 20, 100, 80));
    }

    Workspace ws;
    QWidget window;
    QWidget* page = nullptr;
    TFocusImage* background = nullptr;
    std::unique_ptr<TCampos> items;
    ScriptedDialogs dialogs;
};

// A picture that does not compress: random pixels.
QString writeNoise(const QString& path, int side)
{
    QImage image(side, side, QImage::Format_RGB888);
    for (int y = 0; y < side; ++y)
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(image.scanLine(y)),
                                              side * 3 / 4);
    return image.save(path) ? path : QString();
}

// name -> bytes of every file in a folder.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files.insert(name, readAll(folder + name));
    return files;
}

// Whether the project in the working folder is whole: every picture present with the bytes
// it had, and records that are either absent (never written) or complete, naming only
// those pictures. Empty when whole, otherwise what is wrong.
QString workingFolderProblem(const QString& folder, const QMap<QString, QByteArray>& pictures)
{
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
        if (readAll(folder + it.key()) != it.value())
            return it.key() + QStringLiteral(" changed");
    const QString projectFile = folder + QStringLiteral("project.txt");
    const QString itemFile = folder + QStringLiteral("item.txt");
    if (!QFileInfo::exists(projectFile) && !QFileInfo::exists(itemFile))
        return QString();
    try {
        const QString projectText = readCp1252File(projectFile);
        if (!hasProjectMagic(projectText))
            return QStringLiteral("project.txt holds %1 bytes without the magic")
                .arg(QFileInfo(projectFile).size());
        const ProjectRecord project = ReadProjectRecord(projectText);
        const QString itemText = readCp1252File(itemFile);
        for (int i = 0; i < project.itemCount; ++i)
            if (!itemText.contains(QStringLiteral("[%1]").arg(i)))
                return QStringLiteral("item.txt lacks record %1 of %2").arg(i).arg(project.itemCount);
        for (const TItem& r : ReadItemRecords(itemText, project.itemCount, folder))
            if (!pictures.contains(QFileInfo(r.FileName).fileName()))
                return QStringLiteral("a record names %1").arg(r.FileName);
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

// ---- the saving child ---------------------------------------------------------------------

// Runs in a process of its own: builds the page from the pictures in the working folder of
// dataFolder, limits the size of the files it may write (0: no limit) and saves. With the
// signal left at its default, exceeding the limit kills the process, as it would the program.
int saveChild(const QString& dataFolder, const QString& archive, qint64 limit, bool ignoreSignal)
{
    Page p(dataFolder);
    p.addWorkingFolderPictures();
    p.dialogs.queueAnswer(Answer::Ok);
    if (ignoreSignal)
        std::signal(SIGXFSZ, SIG_IGN);
    if (limit > 0) {
        rlimit r{};
        getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = rlim_t(limit);
        if (setrlimit(RLIMIT_FSIZE, &r) != 0)
            return 3;
    }
    std::printf("saving\n");
    std::fflush(stdout);
    const bool saved = SaveProject(p.ctx(), archive);
    std::printf("saved %d messages %lld\n", saved ? 1 : 0, qlonglong(p.dialogs.messages().size()));
    return 0;
}

// The previous archive: two small pictures saved from a page of their own.
QByteArray savePrevious(const QString& archive)
{
    Page old;
    if (writePicture(old.work(QStringLiteral("velha1.png")), QSize(30, 20)).isEmpty() ||
        writePicture(old.work(QStringLiteral("velha2.png")), QSize(20, 30), Qt::blue).isEmpty())
        return QByteArray();
    old.addWorkingFolderPictures();
    if (!SaveProject(old.ctx(), archive))
        return QByteArray();
    return readAll(archive);
}

QStringList othersBeside(const QString& archive)
{
    QStringList names = QDir(QFileInfo(archive).absolutePath()).entryList(QDir::Files);
    names.removeAll(QFileInfo(archive).fileName());
    return names;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void writesRefused_data();
    void writesRefused();
    void writesRefusedInChild_data();
    void writesRefusedInChild();
    void killedWhilePacking();
    void fullDiskReported_data();
    void fullDiskReported();
};

void TestFaults::writesRefused_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::newRow("no file may grow: the records cannot be written") << qint64(0);
    QTest::newRow("the records fit, the archive does not") << qint64(4 * 1024);
    QTest::newRow("the archive stops half way") << qint64(60 * 1024);
}

// In the program's own process, with the signal ignored as a long-running program does:
// the write fails, the save reports it and the page and working folder stay.
void TestFaults::writesRefused()
{
    QFETCH(qint64, limit);
    Page p;
    const QString archive = p.ws.outside() + QStringLiteral("projeto.vimel");
    const QByteArray previous = savePrevious(archive);
    QVERIFY(!previous.isEmpty());

    QVERIFY(!writeNoise(p.work(QStringLiteral("ruido.png")), 200).isEmpty());  // ~120 kB
    QVERIFY(!writePicture(p.work(QStringLiteral("foto.png")), QSize(50, 40)).isEmpty());
    p.addWorkingFolderPictures();
    const QMap<QString, QByteArray> pictures = snapshot(p.ws.state.workingFolder);
    p.dialogs.queueAnswer(Answer::Ok);

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = rlim_t(limit);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = SaveProject(p.ctx(), archive);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!ok);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.messages().size(), 1);
    QVERIFY2(p.dialogs.messages().at(0).text.contains(QDir::toNativeSeparators(archive)),
             qPrintable(p.dialogs.messages().at(0).text));
    QCOMPARE(readAll(archive), previous);
    QCOMPARE(othersBeside(archive), QStringList());  // no half-written file left behind
    QCOMPARE(p.items->Count(), 2);
    const QString problem = workingFolderProblem(p.ws.state.workingFolder, pictures);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    // With room again, the same page saves.
    p.dialogs.queueAnswer(Answer::Ok);  // not used when the save succeeds
    QVERIFY(SaveProject(p.ctx(), archive));
    QVERIFY(readAll(archive) != previous);
}

void TestFaults::writesRefusedInChild_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("ignoreSignal");
    QTest::addColumn<bool>("survives");

    QTest::newRow("records refused, signal ignored: told") << qint64(1) << true << true;
    QTest::newRow("archive refused, signal ignored: told") << qint64(60 * 1024) << true << true;
    QTest::newRow("records refused, killed by the signal") << qint64(1) << false << false;
    QTest::newRow("archive refused, killed by the signal") << qint64(60 * 1024) << false << false;
}

// In a separate process, so the limit and the signal's default action (which ends the
// process at the first refused write) touch nothing else.
void TestFaults::writesRefusedInChild()
{
    QFETCH(qint64, limit);
    QFETCH(bool, ignoreSignal);
    QFETCH(bool, survives);

    Workspace ws;
    const QString archive = ws.outside() + QStringLiteral("projeto.vimel");
    const QByteArray previous = savePrevious(archive);
    QVERIFY(!previous.isEmpty());
    const QString work = ws.state.workingFolder;
    QVERIFY(!writeNoise(work + QStringLiteral("ruido.png"), 160).isEmpty());
    QVERIFY(!writePicture(work + QStringLiteral("foto.bmp"), QSize(40, 30)).isEmpty());
    const QMap<QString, QByteArray> pictures = snapshot(work);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--save-child"), ws.state.dataFolder, archive, QString::number(limit),
                 ignoreSignal ? QStringLiteral("ignore") : QStringLiteral("default")});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray out = child.readAllStandardOutput();
    if (survives) {
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(out.contains("saved 0 messages 1"), out.constData());
    } else {
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QVERIFY2(!out.contains("saved"), out.constData());
    }
    QCOMPARE(readAll(archive), previous);
    const QString problem = workingFolderProblem(work, pictures);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

// The process is killed while the archive is being packed: the previous archive stays as it
// was and can still be opened, and the working folder still holds the new project.
void TestFaults::killedWhilePacking()
{
    Workspace ws;
    const QString archive = ws.outside() + QStringLiteral("projeto.vimel");
    const QByteArray previous = savePrevious(archive);
    QVERIFY(!previous.isEmpty());
    const QString work = ws.state.workingFolder;
    // Pictures that do not compress, so packing takes a while.
    for (int n = 0; n < 6; ++n)
        QVERIFY(!writeNoise(work + QStringLiteral("grande%1.bmp").arg(n), 1400).isEmpty());
    const QMap<QString, QByteArray> pictures = snapshot(work);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--save-child"), ws.state.dataFolder, archive, QStringLiteral("0"),
                 QStringLiteral("default")});
    QVERIFY(child.waitForStarted());
    // Packing has begun once a file other than the archive appears beside it and grows.
    QElapsedTimer clock;
    clock.start();
    bool packing = false;
    while (!packing && child.state() == QProcess::Running && clock.elapsed() < 120000) {
        for (const QString& name : othersBeside(archive))
            packing = packing || QFileInfo(ws.outside() + name).size() > 64 * 1024;
        if (!packing)
            QTest::qWait(2);
    }
    QVERIFY2(packing, "the save ended before it could be interrupted");
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY(!child.readAllStandardOutput().contains("saved"));

    QCOMPARE(readAll(archive), previous);
    const QString problem = workingFolderProblem(work, pictures);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(QFileInfo::exists(work + QStringLiteral("item.txt")));

    // The previous archive still opens, with its two pictures.
    Page reader;
    OpenProject(reader.ctx(), archive);
    QCOMPARE(reader.items->Count(), 2);
    QCOMPARE(reader.dialogs.messages().size(), 0);

    // The next save removes what the killed one left, but no copy or shorter name.
    QVERIFY(QFile::copy(ws.outside() + othersBeside(archive).at(0),
                        archive + QStringLiteral(".12345")));
    QVERIFY(QFile::copy(archive, archive + QStringLiteral(".backup")));
    QCOMPARE(othersBeside(archive).size(), 3);
    QVERIFY(SaveProject(reader.ctx(), archive));
    QCOMPARE(othersBeside(archive), QStringList({"projeto.vimel.12345", "projeto.vimel.backup"}));
}

void TestFaults::fullDiskReported_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<int>("room"); // bytes left free
    QTest::addColumn<int>("side"); // of the picture of noise written
    QTest::newRow("PNG picture within the write buffer") << "png" << 4096 << 60;
    QTest::newRow("project records") << "records" << 4096 << 60;
    QTest::newRow("text picture, disk full") << "text" << 0 << 60;
    QTest::newRow("archive") << "archive" << 8192 << 100;
    QTest::newRow("empty archive, disk full") << "empty archive" << 0 << 60;
}

// A disk that fills up is told with the system's reason, and leaves no cut-short file.
void TestFaults::fullDiskReported()
{
    QFETCH(QString, writer);
    QFETCH(int, room);
    QFETCH(int, side);
    Workspace ws;
    const QString noise = writeNoise(ws.outside() + QStringLiteral("ruido.png"), side);
    QTemporaryDir disk;
    if (::mount("tmpfs", QFile::encodeName(disk.path()), "tmpfs", 0, "size=64k") != 0)
        QSKIP("needs to mount a small tmpfs (root)");
    const auto unmount = qScopeGuard([&] { ::umount(QFile::encodeName(disk.path())); });
    QFile fill(disk.filePath("enchimento"));
    QVERIFY(fill.open(QIODevice::WriteOnly) && fill.write(QByteArray(65536 - room, 'x')) > 0 &&
            fill.flush());
    const QString target = disk.filePath("saida");
    QString message;
    try {
        TPNGObject png;
        if (writer == u"png")
            png.LoadFromFile(noise), png.SaveToFile(target);
        else if (writer == u"records")
            writeWholeFile(target, readAll(noise), &message);
        else if (writer == u"text")
            RenderTextPicture({QStringLiteral("Arial"), 48}, QStringLiteral("Parabéns"), target);
        else
            PackArchive(target, writer == u"archive" ? QStringList{noise} : QStringList{});
    } catch (const Error& e) {
        message = e.message();
    }
    QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(message));
    QVERIFY(!QFileInfo::exists(target));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 6 && qstrcmp(argv[1], "--save-child") == 0)
        return saveChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         QByteArray(argv[4]).toLongLong(), qstrcmp(argv[5], "ignore") == 0);
    TestFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
