// quadrela-cli info and pack, run as a script runs them: exit status, standard output
// as JSON, the message on standard error.
#include "core/convert.h"
#include "storage/records.h"
#include "workspace.h"
#include "zip/archive.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace quadrela;
using namespace quadrela::test;

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& args, const QString& folder)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(QUADRELA_CLI), args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray crlf(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines)
        out += toCp1252(line) + "\r\n";
    return out;
}

QByteArray projectTxt(const QString& count, int layoutCode)
{
    return crlf({QStringLiteral("####vimel"), QStringLiteral("[ItemCount]"), count,
                 QStringLiteral("[Impressao]"), QString::number(layoutCode)});
}

const QByteArray kOneText =
    crlf({QStringLiteral("[0]"), QStringLiteral("3"), QString(), QStringLiteral("7"),
          QStringLiteral("-8"), QString(), QString(), QStringLiteral("Liberation Serif"),
          QStringLiteral("14"), QStringLiteral("3"), QStringLiteral("1"), QString(),
          QStringLiteral("#T# Boa \"noite\"\\"), QStringLiteral("até amanhã #/T#")});

using Entries = QList<QPair<QString, QByteArray>>;

} // namespace

Q_DECLARE_METATYPE(Entries)

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void infoReads_data();
    void infoReads();
    void infoFixtures_data();
    void infoFixtures();
    void infoFails_data();
    void infoFails();
    void infoLeavesWorkingFolderAlone();
    void usage_data();
    void usage();
    void packThenInfo();
    void helpAndManualAgree();
    void sheetsListed_data();
    void sheetsListed();
    void deadRunsSwept_data();
    void deadRunsSwept();

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }
    QString archiveOf(const QString& name, const Entries& entries);
};

void TestCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFileInfo(QStringLiteral(QUADRELA_CLI)).isExecutable());
}

QString TestCli::archiveOf(const QString& name, const Entries& entries)
{
    const QString folder = path(name + QStringLiteral(".files/"));
    QStringList files;
    for (const auto& [entry, bytes] : entries) {
        writeBytes(folder + entry, bytes);
        files.append(folder + entry);
    }
    const QString archive = path(name + QStringLiteral(".vimel"));
    PackArchive(archive, files);
    return archive;
}

void TestCli::infoReads_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QJsonValue>("layout");
    QTest::addColumn<int>("itemCount");
    QTest::addColumn<QJsonArray>("items");

    const QJsonObject text{{"kind", 2},
                           {"fileName", "<data>"},
                           {"left", 7},
                           {"top", -8},
                           {"width", 100},
                           {"height", 100},
                           {"text", "Boa \"noite\"\\\r\naté amanhã"},
                           {"fontName", "Liberation Serif"},
                           {"color", 0xFF00FF},
                           {"alignment", 2},
                           {"style", 2},
                           {"fontSize", 16}};
    const QJsonObject fallback{{"kind", 0},  {"fileName", ""}, {"left", 0},  {"top", 0},
                               {"width", 0}, {"height", 0},    {"text", ""}, {"fontName", "Arial"},
                               {"color", 0}, {"alignment", 0}, {"style", 0}, {"fontSize", 10}};

    QTest::newRow("a text record with defaults, quotes and accents")
        << Entries{{"project.txt", projectTxt("1", 3)}, {"item.txt", kOneText}} << QJsonValue(2)
        << 1 << QJsonArray{text};
    QTest::newRow("count above the records gives fallback records")
        << Entries{{"project.txt", projectTxt("3", 2)}, {"item.txt", kOneText}} << QJsonValue(1)
        << 3 << QJsonArray{text, fallback, fallback};
    QTest::newRow("negative count reads no records")
        << Entries{{"project.txt", projectTxt("-2", 1)}, {"item.txt", kOneText}} << QJsonValue(0)
        << -2 << QJsonArray{};
    QTest::newRow("layout code outside the table is null")
        << Entries{{"project.txt", projectTxt("0", 7)}, {"item.txt", QByteArray()}}
        << QJsonValue(QJsonValue::Null) << 0 << QJsonArray{};
}

void TestCli::infoReads()
{
    QFETCH(Entries, entries);
    QFETCH(QJsonValue, layout);
    QFETCH(int, itemCount);
    QFETCH(QJsonArray, items);

    const QString archive =
        archiveOf(QString::fromLatin1(QTest::currentDataTag()).left(12), entries);
    // A relative data folder is made absolute.
    QDir(m_dir.path()).mkpath(QStringLiteral("meus dados"));
    const Run run = cli(
        {QStringLiteral("info"), QStringLiteral("--data"), QStringLiteral("meus dados"), archive},
        m_dir.path());
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.endsWith('\n'));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, run.out.constData());
    const QJsonObject root = doc.object();
    QCOMPARE(root.keys(), QStringList({"itemCount", "items", "layout"}));
    QCOMPARE(root.value("layout"), layout);
    QCOMPARE(root.value("itemCount").toInt(), itemCount);
    QJsonArray expected;
    for (const QJsonValue& item : items) {
        QJsonObject o = item.toObject();
        if (o.value("fileName") == QJsonValue("<data>"))
            o.insert("fileName", path(QStringLiteral("meus dados/")));
        expected.append(o);
    }
    QCOMPARE(root.value("items").toArray(), expected);
}

void TestCli::infoFixtures_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("layout");
    QTest::addColumn<QStringList>("fileNames");

    QTest::newRow("LF line ends") << "line_ends_lf.vimel" << 0
                                  << QStringList{"C:\\Users\\ana\\foto.png", "<data>"};
    QTest::newRow("Windows names")
        << "windows_names.vimel" << 1
        << QStringList{"C:\\Program Files\\Cartoes\\dados\\bordas\\Moldura Ão.png",
                       "C:\\Users\\ana\\Coração.png", "D:\\fotos\\praia.png"};
    QTest::newRow("magic on a later line") << "magic_later.vimel" << 2 << QStringList{};
}

void TestCli::infoFixtures()
{
    QFETCH(QString, fixture);
    QFETCH(int, layout);
    QFETCH(QStringList, fileNames);

    const Run run =
        cli({QStringLiteral("info"), QStringLiteral("--data"), path(QStringLiteral("d")),
             QFINDTESTDATA(QStringLiteral("data/") + fixture)},
            m_dir.path());
    QCOMPARE(run.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(root.value("layout").toInt(-1), layout);
    QCOMPARE(root.value("itemCount").toInt(), fileNames.size());
    QStringList got;
    for (const QJsonValue& item : root.value("items").toArray())
        got.append(item.toObject().value("fileName").toString());
    QCOMPARE(got, fileNames.replaceInStrings(QStringLiteral("<data>"), path(QStringLiteral("d/"))));
}

void TestCli::infoFails_data()
{
    QTest::addColumn<Entries>("entries"); // empty: the archive is the raw bytes
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("message"); // "*": any message

    QTest::newRow("no project.txt")
        << Entries{{"a.png", "x"}} << QByteArray() << QStringLiteral("Arquivo não reconhecido.");
    QTest::newRow("project.txt without the magic")
        << Entries{{"project.txt", "[ItemCount]\r\n0\r\n[Impressao]\r\n1\r\n"}, {"item.txt", ""}}
        << QByteArray() << QStringLiteral("Arquivo não reconhecido.");
    QTest::newRow("[ItemCount] missing")
        << Entries{{"project.txt", "####vimel\r\n[Impressao]\r\n1\r\n"}, {"item.txt", ""}}
        << QByteArray() << QStringLiteral("'####vimel' is not a valid integer value");
    QTest::newRow("too many items")
        << Entries{{"project.txt", projectTxt("10001", 1)}, {"item.txt", ""}} << QByteArray()
        << tooManyItemsError(10001).message();
    QTest::newRow("item.txt missing")
        << Entries{{"project.txt", projectTxt("1", 1)}} << QByteArray()
        << QStringLiteral("Cannot open file *item.txt");
    QTest::newRow("not a ZIP archive") << Entries{} << QByteArray("PK? no") << QStringLiteral("*");
    QTest::newRow("no such file") << Entries{} << QByteArray()
                                  << QStringLiteral("Cannot open file *nada.vimel");
}

void TestCli::infoFails()
{
    QFETCH(Entries, entries);
    QFETCH(QByteArray, raw);
    QFETCH(QString, message);

    QString archive = path(QStringLiteral("nada.vimel"));
    if (!entries.isEmpty())
        archive =
            archiveOf(QStringLiteral("falha%1").arg(QTest::currentDataTag()).left(14), entries);
    else if (!raw.isEmpty())
        QVERIFY(writeBytes(archive = path(QStringLiteral("cru.vimel")), raw));

    const Run run = cli({QStringLiteral("info"), archive}, m_dir.path());
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray());
    const QString err = QString::fromUtf8(run.err);
    QVERIFY2(err.endsWith(u'\n') && err.count(u'\n') == 1, qPrintable(err));
    QStringList parts = message.split(u'*');
    for (QString& part : parts)
        part = QRegularExpression::escape(part);
    const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(parts.join(QStringLiteral(".*"))));
    QVERIFY2(pattern.match(err.chopped(1)).hasMatch() && err.size() > 1, qPrintable(err));
}

void TestCli::infoLeavesWorkingFolderAlone()
{
    // The data folder given holds a working folder with a project in progress.
    const QString data = path(QStringLiteral("programa/dados/"));
    QVERIFY(writeBytes(data + QStringLiteral("project/item.txt"), "em uso"));
    QVERIFY(writeBytes(data + QStringLiteral("project/foto.png"), "em uso"));
    const Run run = cli({QStringLiteral("info"), QStringLiteral("--data"), data,
                         QFINDTESTDATA("data/windows_names.vimel")},
                        m_dir.path());
    QCOMPARE(run.status, 0);
    QCOMPARE(QDir(data + QStringLiteral("project")).entryList(QDir::Files),
             QStringList({QStringLiteral("foto.png"), QStringLiteral("item.txt")}));
    QCOMPARE(readAll(data + QStringLiteral("project/item.txt")), QByteArray("em uso"));
    QCOMPARE(QDir(data).entryList(QDir::Files), QStringList());
}

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("info without an archive") << QStringList{"info"};
    QTest::newRow("--data without a folder") << QStringList{"info", "a.vimel", "--data"};
    QTest::newRow("two archives") << QStringList{"info", "a.vimel", "b.vimel"};
    QTest::newRow("unknown option") << QStringList{"info", "--paper", "a4", "a.vimel"};
    QTest::newRow("pack without files") << QStringList{"pack", "a.vimel"};
    QTest::newRow("no verb") << QStringList{};
    QTest::newRow("sheets with an argument") << QStringList{"sheets", "a4"};
}

void TestCli::usage()
{
    QFETCH(QStringList, args);
    const Run run = cli(args, m_dir.path());
    QCOMPARE(run.status, 2);
    QVERIFY(run.err.contains("usage: quadrela-cli"));
    QCOMPARE(run.out, QByteArray());
}

void TestCli::packThenInfo()
{
    const QString folder = path(QStringLiteral("pacote/"));
    QVERIFY(writeBytes(folder + QStringLiteral("project.txt"), projectTxt("1", 2)));
    QVERIFY(writeBytes(folder + QStringLiteral("item.txt"), kOneText));
    QVERIFY(writeBytes(folder + QStringLiteral("sub/foto.png"), "abc"));
    const QString archive = path(QStringLiteral("pacote.vimel"));

    Run run = cli({QStringLiteral("pack"), archive, folder + QStringLiteral("project.txt"),
                   folder + QStringLiteral("item.txt"), folder + QStringLiteral("sub/foto.png"),
                   folder + QStringLiteral("faltando.png")},
                  m_dir.path());
    QCOMPARE(run.status, 0);
    QVERIFY(run.err.contains("faltando.png")); // told, not packed

    QTemporaryDir unpacked;
    UnpackArchive(archive, unpacked.path());
    QCOMPARE(QDir(unpacked.path()).entryList(QDir::Files, QDir::Name),
             QStringList({QStringLiteral("foto.png"), QStringLiteral("item.txt"),
                          QStringLiteral("project.txt")}));
    QCOMPARE(readAll(unpacked.path() + QStringLiteral("/item.txt")), kOneText);

    run = cli({QStringLiteral("info"), archive}, m_dir.path());
    QCOMPARE(run.status, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value("layout").toInt(), 1);

    // A destination that cannot be written fails with a message.
    run = cli({QStringLiteral("pack"), folder + QStringLiteral("item.txt/x.vimel"),
               folder + QStringLiteral("item.txt")},
              m_dir.path());
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.endsWith('\n') && run.err.size() > 1);
}

QTEST_MAIN(TestCli)
void TestCli::helpAndManualAgree()
{
    const Run run = cli({QStringLiteral("--help")}, m_dir.path());
    QCOMPARE(run.status, 0);
    const QString help = QString::fromUtf8(run.out);
    for (const char* word : {" decode ", " info ", " pack ", " print ", " render ", " export ", "--front", "--rows", "--quiet", "--skip-bad-rows", "--merge", "--offset"})
        QVERIFY2(help.contains(QLatin1String(word)), word);
    QFile page(QStringLiteral(QUADRELA_SOURCE_DIR "/packaging/quadrela-cli.1"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(page.readAll()).remove(u'\\');
    const QRegularExpression word(QStringLiteral("quadrela-cli ([a-z]+)|(--[a-z-]+)"));
    for (const QRegularExpressionMatch& m : word.globalMatch(help)) {
        const QString expected = m.hasCaptured(1) ? QStringLiteral(".B quadrela-cli ") + m.captured(1) : m.captured(2);
        QVERIFY2(manual.contains(expected), qPrintable(expected));
    }
}

void TestCli::sheetsListed_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("start"); // the name, then the description
    QTest::addColumn<QString>("code");
    QTest::newRow("the default first") << 0 << "carta-10\tCarta, 10 cartões" << "";
    QTest::newRow("3.5 x 2 in on Letter") << 1 << "carta-5371\tCarta" << "Avery 5371, 5376, 5377, 5871, 5877, 5911, 8371,";
    QTest::newRow("85 x 54 mm on A4") << 2 << "a4-c32011\tA4" << "85 x 54 mm: Avery C32011, Geha P70";
}

void TestCli::sheetsListed()
{
    QFETCH(int, line);
    QFETCH(QString, start);
    QFETCH(QString, code);
    const Run run = cli({QStringLiteral("sheets")}, m_dir.path());
    QCOMPARE(run.status, 0);
    const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
    QCOMPARE(lines.size(), 4); // three sheets and the final newline
    QVERIFY2(lines.at(line).startsWith(start) && lines.at(line).contains(code), qPrintable(lines.at(line)));
}

void TestCli::deadRunsSwept_data()
{
    QTest::addColumn<QString>("left");  // what a run left in the data folder
    QTest::addColumn<bool>("removed");
    QTest::newRow("folder of a dead run") << "dead" << true;
    QTest::newRow("folder of a live run") << "live" << false;
    QTest::newRow("folder being made") << "unmarked" << false;
    QTest::newRow("link to a dead run's folder") << "link" << false;
}

void TestCli::deadRunsSwept()
{
    QFETCH(QString, left);
    QFETCH(bool, removed);
    const QString name = QFileInfo(QStringLiteral(QUADRELA_CLI)).absolutePath() +
                         QStringLiteral("/dados/cli-%1-%2").arg(left).arg(QCoreApplication::applicationPid());
    const QString folder = left == u"link" ? path(QStringLiteral("morto")) : name;
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/trabalho")));
    if (left != u"unmarked")
        QVERIFY(writeBytes(folder + QStringLiteral("/.em-uso"), {}));
    if (left == u"link")
        QVERIFY(QFile::link(folder, name));
    const int lock = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(lock >= 0 && (left != u"live" || ::flock(lock, LOCK_EX) == 0));
    QVERIFY(writeBytes(path(QStringLiteral("lixo.vimel")), "not an archive"));
    cli({QStringLiteral("info"), path(QStringLiteral("lixo.vimel"))}, m_dir.path());
    ::close(lock);
    QCOMPARE(!QFileInfo::exists(folder + QStringLiteral("/trabalho")), removed);
    QFile::remove(name);
    QDir(name).removeRecursively();
}

#include "tst_cli.moc"
