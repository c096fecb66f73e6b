// Replays every input kept from fuzzing through the entry the fuzzer drove. Each once
// crashed, hung or leaked; now each must run to its end (the entries check what they
// read back, so a wrong result that used to pass as a crash fails here too).
#include "entries.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

using namespace quadrela::fuzz;

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void foldersAreTargets();
    void replay_data();
    void replay();
};

namespace {

QStringList subfolders(const QString& path)
{
    return QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// A fixture filed under a misspelt folder would never be replayed.
void TestFuzzRegressions::foldersAreTargets()
{
    const QStringList targets = targetNames();
    for (const QString& folder : subfolders(QStringLiteral(QUADRELA_REGRESSIONS))) {
        if (folder == u"data")
            continue;
        QVERIFY2(targets.contains(folder), qPrintable(folder + QStringLiteral(" is not a fuzz target")));
    }
    for (const QString& folder : subfolders(QStringLiteral(QUADRELA_FUZZ_SEEDS)))
        QVERIFY2(targets.contains(folder), qPrintable(folder + QStringLiteral(" is not a fuzz target")));
}

void TestFuzzRegressions::replay_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    const struct
    {
        const char* label;
        QString root;
    } roots[] = {
        {"crash", QStringLiteral(QUADRELA_REGRESSIONS)},
        {"seed", QStringLiteral(QUADRELA_FUZZ_SEEDS)},
    };
    for (const auto& root : roots) {
        for (const QString& target : subfolders(root.root)) {
            const QDir dir(root.root + u'/' + target);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
                QTest::addRow("%s %s/%s", root.label, qPrintable(target), qPrintable(name))
                    << target << dir.filePath(name);
        }
    }
}

void TestFuzzRegressions::replay()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    const Entry entry = entryFor(target);
    QVERIFY(entry);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray input = f.readAll();

    // The fuzzer allowed 30 seconds; an input that once hung must now end well within it.
    QElapsedTimer clock;
    clock.start();
    entry(input);
    QVERIFY2(clock.elapsed() < 30000, qPrintable(QStringLiteral("took %1 ms").arg(clock.elapsed())));
}

QTEST_MAIN(TestFuzzRegressions)
#include "tst_fuzz_regressions.moc"
