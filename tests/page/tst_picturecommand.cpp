// Adding pictures: the working copy each picture item gets, its name, and what is left
// when adding fails.
#include "core/errors.h"
#include "page/picturecommand.h"
#include "pageharness.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace quadrela;
using namespace quadrela::test;

namespace {

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestPictureCommand : public QObject
{
    Q_OBJECT
private slots:
    void workingCopyPath_data();
    void workingCopyPath();
    void addsPictureItem_data();
    void addsPictureItem();
    void sameClipartTwiceSharesOneCopy();
    void sameNameOtherPictureGetsFreeName();
    void unreadablePictureAddsNothing();
    void unwritableWorkingFolderAddsNothing();
    void failureWhileBuildingKeepsCopy();
};

void TestPictureCommand::workingCopyPath_data()
{
    // Files already in the working folder: name -> contents ("<dir>" makes a folder).
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("exists");
    const QString img = "IMG_0001.jpg";
    QTest::newRow("new name") << QStringList{} << img << img << false;
    QTest::newRow("same contents are shared") << QStringList{img, "NOVO"} << img << img << true;
    QTest::newRow("other contents: free name") << QStringList{img, "VELHO"} << img << "IMG_0001_2.jpg" << false;
    QTest::newRow("same size, other bytes") << QStringList{img, "NOVA"} << img << "IMG_0001_2.jpg" << false;
    QTest::newRow("second name taken too")
        << QStringList{img, "VELHO", "IMG_0001_2.jpg", "OUTRO"} << img << "IMG_0001_3.jpg" << false;
    QTest::newRow("second name holds it")
        << QStringList{img, "VELHO", "IMG_0001_2.jpg", "NOVO"} << img << "IMG_0001_2.jpg" << true;
    QTest::newRow("a folder of that name") << QStringList{img, "<dir>"} << img << "IMG_0001_2.jpg" << false;
    QTest::newRow("no extension") << QStringList{"LEIAME", "VELHO"} << "LEIAME" << "LEIAME_2" << false;
    QTest::newRow("unsafe name made safe") << QStringList{} << "a[1].png" << "a(1].png" << false;
    QTest::newRow("safe name taken")
        << QStringList{"a(1].png", "VELHO"} << "a[1].png" << "a(1]_2.png" << false;
    QTest::newRow("percent signs in the name")
        << QStringList{"a%2b%1.png", "VELHO"} << "a%2b%1.png" << "a%2b%1_2.png" << false;
    QTest::newRow("percent sign before the number")
        << QStringList{"x%3.png", "VELHO"} << "x%3.png" << "x%3_2.png" << false;
}

void TestPictureCommand::workingCopyPath()
{
    QFETCH(QStringList, present);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    QFETCH(bool, exists);
    Workspace ws;
    const QString wf = ws.state.workingFolder;
    for (int i = 0; i + 1 < present.size(); i += 2) {
        if (present.at(i + 1) == u"<dir>")
            QVERIFY(QDir().mkpath(wf + present.at(i)));
        else
            QVERIFY(writeBytes(wf + present.at(i), present.at(i + 1).toLatin1()));
    }
    const QStringList before = filesIn(wf);
    bool found = !exists;
    QCOMPARE(quadrela::workingCopyPath(wf, source, QByteArray("NOVO"), &found), wf + expected);
    QCOMPARE(found, exists);
    QCOMPARE(filesIn(wf), before);  // choosing a name writes nothing
}

void TestPictureCommand::addsPictureItem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("copyName");
    QTest::newRow("png") << "flor.png" << "flor.png";
    QTest::newRow("jpeg") << "flor.jpeg" << "flor.jpeg";
    QTest::newRow("bmp") << "flor.bmp" << "flor.bmp";
    QTest::newRow("name outside the code page") << QString::fromUtf8("flor 日.png") << "flor _.png";
    QTest::newRow("bracket and leading blank") << " [1].png" << "_(1].png";
}

void TestPictureCommand::addsPictureItem()
{
    QFETCH(QString, name);
    QFETCH(QString, copyName);
    Workspace ws(QSize(4800, 6600));
    PageHarness h(ws);
    const int first = h.addPicture("antes.png", QRect(0, 0, 10, 10));
    h.handlers->setSelection(h.control(first));
    const QString chosen = writePicture(ws.outside() + name, QSize(400, 300));
    QVERIFY(!chosen.isEmpty());

    const int index = addPictureItem(*h.items, ws.state, chosen);
    QCOMPARE(index, 1);
    const QString copy = ws.state.workingFolder + copyName;
    TDesc expected;
    expected.FileName = copy;
    QCOMPARE(h.items->Items(index).Attributes(), expected);
    QCOMPARE(readAll(copy), readAll(chosen));  // written as it was read
    TFocusImage* c = h.control(index);
    QCOMPARE(c->geometry(), QRect(215, 337, 66, 28));
    QCOMPARE(stackIndex(h.page, c), 2);
    QCOMPARE(h.handlers->selection(), h.control(first));
    QVERIFY(QFile::exists(chosen));
}

void TestPictureCommand::sameClipartTwiceSharesOneCopy()
{
    Workspace ws;
    PageHarness h(ws);
    const QString clipart = writePicture(ws.state.dataFolder + "cliparts/estrela.png", QSize(50, 50));
    addPictureItem(*h.items, ws.state, clipart);
    addPictureItem(*h.items, ws.state, clipart);
    QCOMPARE(h.items->Count(), 2);
    QCOMPARE(filesIn(ws.state.workingFolder), QStringList{"estrela.png"});
    QCOMPARE(h.items->Items(0).Attributes().FileName, ws.state.workingFolder + "estrela.png");
    QCOMPARE(h.items->Items(1).Attributes().FileName, ws.state.workingFolder + "estrela.png");
}

void TestPictureCommand::sameNameOtherPictureGetsFreeName()
{
    Workspace ws;
    PageHarness h(ws);
    const QString a = writePicture(ws.outside() + "um/IMG_0001.jpg", QSize(64, 48), Qt::blue);
    const QString b = writePicture(ws.outside() + "dois/IMG_0001.jpg", QSize(48, 64), Qt::yellow);
    addPictureItem(*h.items, ws.state, a);
    addPictureItem(*h.items, ws.state, b);
    const QString wf = ws.state.workingFolder;
    QCOMPARE(filesIn(wf), (QStringList{"IMG_0001.jpg", "IMG_0001_2.jpg"}));
    QCOMPARE(h.items->Items(0).Attributes().FileName, wf + "IMG_0001.jpg");
    QCOMPARE(h.items->Items(1).Attributes().FileName, wf + "IMG_0001_2.jpg");
    QCOMPARE(readAll(wf + "IMG_0001.jpg"), readAll(a));
    QCOMPARE(readAll(wf + "IMG_0001_2.jpg"), readAll(b));
    QCOMPARE(h.control(1)->pictureSize(), QSize(48, 64));

    // Deleting the first keeps the second one's copy.
    h.handlers->setSelection(h.control(0));
    h.handlers->popDeletar->trigger();
    QCOMPARE(filesIn(wf), QStringList{"IMG_0001_2.jpg"});
}

void TestPictureCommand::unreadablePictureAddsNothing()
{
    Workspace ws;
    PageHarness h(ws);
    const QString bad = ws.outside() + "quebrada.png";
    QVERIFY(writeBytes(bad, "nada disso"));
    QVERIFY_THROWS_EXCEPTION(Error, addPictureItem(*h.items, ws.state, bad));
    QCOMPARE(h.items->Count(), 0);
    QVERIFY(filesIn(ws.state.workingFolder).isEmpty());
}

void TestPictureCommand::unwritableWorkingFolderAddsNothing()
{
    Workspace ws;
    PageHarness h(ws);
    const QString chosen = writePicture(ws.outside() + "a.png", QSize(20, 20));
    // A working folder that is a file cannot hold anything, whoever runs the test.
    QVERIFY(writeBytes(ws.outside() + "arquivo", "x"));
    ws.state.workingFolder = ws.outside() + "arquivo/";
    QVERIFY_THROWS_EXCEPTION(Error, addPictureItem(*h.items, ws.state, chosen));
    QCOMPARE(h.items->Count(), 0);
}

void TestPictureCommand::failureWhileBuildingKeepsCopy()
{
    Workspace ws;
    ws.breakPrinter();
    PageHarness h(ws);
    const QString chosen = writePicture(ws.outside() + "a.png", QSize(20, 20));
    QVERIFY_THROWS_EXCEPTION(Error, addPictureItem(*h.items, ws.state, chosen));
    QCOMPARE(h.items->Count(), 0);
    QCOMPARE(filesIn(ws.state.workingFolder), QStringList{"a.png"});
}

int runPictureCommandTests(int argc, char** argv)
{
    TestPictureCommand t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_picturecommand.moc"
