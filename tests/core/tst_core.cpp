#include "core/convert.h"
#include "core/datafolders.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/runlock.h"
#include "core/workfolder.h"

#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

using namespace quadrela;

class TestCore : public QObject
{
    Q_OBJECT
private slots:
    void trimControl_data();
    void trimControl();
    void strToInt_data();
    void strToInt();
    void splitLines_data();
    void splitLines();
    void roundHalfEven_data();
    void roundHalfEven();
    void cp1252RoundTrip();
    void cp1252Substitutes_data();
    void cp1252Substitutes();
    void paths_data();
    void paths();
    void emptyWorkingFolderKeepsSubfoldersAndLock();
    void dataFolderChoice_data();
    void dataFolderChoice();
    void besideFolderFacts_data();
    void besideFolderFacts();
    void userFolderPrepared_data();
    void userFolderPrepared();
    void runLock_data();
    void runLock();
};

void TestCore::trimControl_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("blanks and line ends") << QString(" \t12\r\n") << QString("12");
    QTest::newRow("no-break space stays") << QString(QChar(0xA0)) + "x" << QString(QChar(0xA0)) + "x";
    QTest::newRow("inner blanks stay") << QString(" a b ") << QString("a b");
    QTest::newRow("only control") << QString("\x01\x02 ") << QString();
}

void TestCore::trimControl()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(quadrela::trimControl(in), out);
}

void TestCore::strToInt_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("plain") << "42" << true << 42 << "";
    QTest::newRow("negative") << " -15\r" << true << -15 << "";
    QTest::newRow("plus") << "+7" << true << 7 << "";
    QTest::newRow("int min") << "-2147483648" << true << int(-2147483647 - 1) << "";
    QTest::newRow("int max") << "2147483647" << true << 2147483647 << "";
    QTest::newRow("too large") << "2147483648" << false << 0 << "'2147483648' is not a valid integer value";
    QTest::newRow("huge") << "99999999999999999999" << false << 0
                          << "'99999999999999999999' is not a valid integer value";
    QTest::newRow("empty") << "  " << false << 0 << "'' is not a valid integer value";
    QTest::newRow("inner space") << "1 2" << false << 0 << "'1 2' is not a valid integer value";
    QTest::newRow("letters") << "abc" << false << 0 << "'abc' is not a valid integer value";
    QTest::newRow("decimal") << "1.0" << false << 0 << "'1.0' is not a valid integer value";
    QTest::newRow("sign only") << "-" << false << 0 << "'-' is not a valid integer value";
    QTest::newRow("magic") << "####vimel" << false << 0 << "'####vimel' is not a valid integer value";
}

void TestCore::strToInt()
{
    QFETCH(QString, in);
    QFETCH(bool, ok);
    QFETCH(int, value);
    QFETCH(QString, message);
    try {
        const int v = quadrela::strToInt(in);
        QVERIFY(ok);
        QCOMPARE(v, value);
    } catch (const Error& e) {
        QVERIFY(!ok);
        QCOMPARE(e.message(), message);
    }
}

void TestCore::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lf and cr mixed") << "a\nb\rc" << QStringList{"a", "b", "c"};
    QTest::newRow("empty inner line") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("trailing break adds no line") << "a\r\n\r\n" << QStringList{"a", ""};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestCore::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(quadrela::splitLines(text), lines);
}

void TestCore::roundHalfEven_data()
{
    QTest::addColumn<double>("in");
    QTest::addColumn<int>("out");
    QTest::newRow("60.5") << 60.5 << 60;
    QTest::newRow("37.5") << 37.5 << 38;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("saturates") << 1e12 << 2147483647;
}

void TestCore::roundHalfEven()
{
    QFETCH(double, in);
    QFETCH(int, out);
    QCOMPARE(quadrela::roundHalfEven(in), out);
}

void TestCore::cp1252RoundTrip()
{
    const QString text = QString::fromUtf8("Cartões de Aniversário – “aspas” €");
    bool ok = false;
    const QByteArray bytes = toCp1252(text, &ok);
    QVERIFY(ok);
    QCOMPARE(bytes.size(), text.size());
    QCOMPARE(quint8(bytes.at(bytes.size() - 1)), quint8(0x80));  // the euro sign
    QCOMPARE(fromCp1252(bytes), text);
    QVERIFY(!isCp1252Encodable(QString::fromUtf8("日本")));

    // The program's own tables against the converter Qt gets from ICU: every byte, and every
    // UTF-16 unit alone, between letters, and as half of a pair (where ICU drops some
    // characters outside the code page, the program writes a substitute for each).
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        QSKIP("Qt has no Windows-1252 converter here");
    QByteArray all(256, Qt::Uninitialized);
    std::iota(all.begin(), all.end(), char(0));
    QCOMPARE(fromCp1252(all), QString(decoder.decode(all)));
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        const QChar c{char16_t(unit)}, high{char16_t(0xD83D)}, low{char16_t(0xDE00)};
        for (const QString& s : {QString(c), QString(u'a') + c + u'b', QString(c) + low, QString(high) + c}) {
            QStringEncoder encoder("windows-1252");
            const QByteArray expected = encoder.encode(s);
            bool encoded = false;
            const QByteArray ours = toCp1252(s, &encoded);
            // A half pair at the end, which ICU keeps waiting for, is a fault here.
            QCOMPARE(encoded, !encoder.hasError() && !s.back().isHighSurrogate());
            if (encoded)
                QCOMPARE(ours, expected);
        }
    }
}

void TestCore::cp1252Substitutes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("joiner between letters") << QStringView(u"a\u200Db").toString() << QByteArray("a\x1A" "b");
    QTest::newRow("sign and variation selector") << QStringView(u"\u2764\uFE0F").toString() << QByteArray("\x1A\x1A");
    QTest::newRow("a pair is one character") << QStringView(u"a\U0001F600").toString() << QByteArray("a\x1A");
    QTest::newRow("half a pair at the end") << QStringView(u"a").toString() + QChar(0xD83D) << QByteArray("a\x1A");
    QTest::newRow("half a pair before a letter") << QChar(0xD83D) + QStringView(u"a").toString() << QByteArray("\x1A" "a");
}

void TestCore::cp1252Substitutes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool encoded = true;
    QCOMPARE(toCp1252(text, &encoded), bytes);
    QVERIFY(!encoded);
}

void TestCore::paths_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ext");
    QTest::newRow("windows path") << "C:\\Users\\ana\\foto.JPG" << "foto.JPG" << "jpg";
    QTest::newRow("unix path") << "/home/ana/a.b/flor.png" << "flor.png" << "png";
    QTest::newRow("mixed") << "C:\\x/y\\z.Wmf" << "z.Wmf" << "wmf";
    QTest::newRow("no extension") << "/a.b/nome" << "nome" << "";
    QTest::newRow("bare") << "temp.png" << "temp.png" << "png";
}

void TestCore::paths()
{
    QFETCH(QString, in);
    QFETCH(QString, name);
    QFETCH(QString, ext);
    QCOMPARE(fileNamePart(in), name);
    QCOMPARE(extensionOf(in), ext);
}

void TestCore::emptyWorkingFolderKeepsSubfoldersAndLock()
{
    QTemporaryDir dir;
    QDir root(dir.path());
    root.mkdir("project");
    root.mkpath("project/sub");
    for (const char* name : {"project/a.png", "project/.hidden", "project/sub/b.png", "project.lock"}) {
        QFile f(root.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(dataFolderFor(dir.path() + "/"), dir.path() + "/dados/");
    QCOMPARE(dataFolderFor(dir.path()), dir.path() + "/dados/");

    EmptyWorkingFolder(root.filePath("project/"));
    QVERIFY(!QFile::exists(root.filePath("project/a.png")));
    QVERIFY(!QFile::exists(root.filePath("project/.hidden")));
    QVERIFY(QFile::exists(root.filePath("project/sub/b.png")));
    QVERIFY(QFile::exists(root.filePath("project.lock")));
    EmptyWorkingFolder(root.filePath("missing/"));  // no throw
    QVERIFY(QFile::link(root.filePath("project"), root.filePath("ligada")) && QFile(root.filePath("project/c.png")).open(QIODevice::WriteOnly));
    EmptyWorkingFolder(root.filePath("ligada/"));
    QVERIFY(QFile::exists(root.filePath("project/c.png"))); // nothing goes through a link
}

void TestCore::dataFolderChoice_data()
{
    QTest::addColumn<bool>("besideExists");
    QTest::addColumn<bool>("besideWritable");
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("shipped");
    QTest::addColumn<QString>("user");
    const QString beside = "/opt/q/bin/dados/";
    const QString installed = "/opt/q/share/quadrela/dados/";
    QTest::newRow("writable beside") << true << true << "/x" << beside << beside;
    QTest::newRow("read-only beside") << true << false << "/x/" << beside << "/x/quadrela/";
    QTest::newRow("installed, XDG set") << false << false << "/x" << installed << "/x/quadrela/";
    QTest::newRow("installed, XDG unset")
        << false << false << "" << installed << "/home/ana/.local/share/quadrela/";
    QTest::newRow("relative XDG ignored")
        << false << false << "dados" << installed << "/home/ana/.local/share/quadrela/";
}

void TestCore::dataFolderChoice()
{
    QFETCH(bool, besideExists);
    QFETCH(bool, besideWritable);
    QFETCH(QString, xdg);
    const DataFolders f =
        chooseDataFolders({"/opt/q/bin", besideExists, besideWritable, xdg, "/home/ana"});
    QTEST(f.shipped, "shipped");
    QTEST(f.user, "user");
    QCOMPARE(f.separate(), !besideWritable);
}

void TestCore::besideFolderFacts_data()
{
    QTest::addColumn<QString>("dados"); // where "dados" beside the program leads
    QTest::addColumn<bool>("writable");
    QTest::newRow("writable folder") << "/tmp" << true;
    QTest::newRow("folder not even root can write") << "/proc/self/fdinfo" << false;
}

void TestCore::besideFolderFacts()
{
    QFETCH(QString, dados);
    QTemporaryDir dir;
    QVERIFY(QFile::link(dados, dir.filePath("dados")));
    const FolderFacts facts = folderFactsFor(dir.path());
    QVERIFY(facts.besideExists);
    QTEST(facts.besideWritable, "writable");
}

void TestCore::userFolderPrepared_data()
{
    QTest::addColumn<QString>("user");  // below the temporary folder
    QTest::addColumn<bool>("shippedThere");
    QTest::addColumn<QString>("named");  // in the message; empty for none
    QTest::newRow("made private") << "casa/.local/share/quadrela/" << true << "";
    QTest::newRow("below a file") << "arquivo/quadrela/" << true << "arquivo/quadrela";
    QTest::newRow("shipped data missing") << "u/" << false << "instalado/dados";
    QTest::newRow("working folder a link") << "ligado/" << true << "ligado/project";
}

void TestCore::userFolderPrepared()
{
    QFETCH(QString, user);
    QFETCH(bool, shippedThere);
    QFETCH(QString, named);
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    QVERIFY(QFile(root + "arquivo").open(QIODevice::WriteOnly));
    if (shippedThere)
        QVERIFY(QDir().mkpath(root + "instalado/dados"));
    QVERIFY(QDir().mkpath(root + "ligado") && QFile::link(root + "instalado", root + "ligado/project"));
    const QString fault =
        prepareDataFolders({root + "instalado/dados/", root + user, root + "bin/dados/"});
    QCOMPARE(fault.isEmpty(), named.isEmpty());
    if (!named.isEmpty())
        QVERIFY2(fault.contains(root + named), qPrintable(fault));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    for (const QString& folder : {root + "casa", root + user, root + user + "project"}) {
        if (!named.isEmpty())
            break;
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QFileInfo(folder).permissions() & others, QFile::Permissions());
    }
}

void TestCore::runLock_data()
{
    QTest::addColumn<QString>("before"); // what is at project.lock when the copy starts
    QTest::addColumn<bool>("locked");
    QTest::newRow("the file of a run that ended") << "ended" << true;
    QTest::newRow("another copy") << "copy" << false;
    QTest::newRow("a folder in its place") << "folder" << false;
    QTest::newRow("a link in its place") << "link" << false;
}

void TestCore::runLock()
{
    QFETCH(QString, before);
    QFETCH(bool, locked);
    QTemporaryDir dir;
    const QString path = dir.filePath("project.lock");
    RunLock other(path);
    QFile ended(path);
    if (before == "ended")
        QVERIFY(ended.open(QIODevice::WriteOnly) && ended.write("2147483646\nquadrela\nhost\n") > 0);
    QVERIFY(before != "copy" || other.tryLock());
    QVERIFY((before != "folder" || QDir(dir.path()).mkdir("project.lock")) &&
            (before != "link" || QFile::link(dir.filePath("carta.txt"), path)));
    RunLock lock(path);
    QCOMPARE(lock.tryLock(), locked);
    QCOMPARE(lock.problem().contains(path), before == "folder" || before == "link");
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
