// The main window: where the page sits in its scroll box, the panels that keep their
// buttons at the right edge, the mouse wheel, adding a picture, closing, and the error
// report of the application.
#include "core/errors.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/pageview.h"
#include "scripteddialogs.h"
#include "shell/application.h"
#include "shell/form_Main.h"
#include "shell/glyphbutton.h"
#include "shell/qtdialogs.h"
#include "shell/recentprojects.h"
#include "workspace.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace quadrela;
using namespace quadrela::test;

namespace {

// The scroll box is 729 x 534 in a window of this size.
const QSize kWindowFor729x534(842, 672);

bool sendWheel(QWidget* target, QPoint angleDelta)
{
    const QPointF local(5, 5);
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    return QApplication::sendEvent(target, &event);
}

// Fails its event with the exception the test names.
class Thrower : public QObject
{
public:
    enum Kind { OurError, OutOfMemory, Other };
    explicit Thrower(Kind kind) : m_kind(kind) {}
    int delivered = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++delivered;
        switch (m_kind) {
        case OurError:
            throw Error(QStringLiteral("Cannot open file /x/y.png"));
        case OutOfMemory:
            throw std::bad_alloc();
        case Other:
            throw std::runtime_error("falha qualquer");
        }
        return true;
    }

private:
    Kind m_kind;
};

// A window whose page was saved as "a.vimel" with one picture.
struct SavedPage
{
    SavedPage() : form(ws.state, dialogs)
    {
        form.show();
        addPicture("a.png");
        dialogs.queueFile(file);
        form.btSalvarClick();
    }
    void addPicture(const char* name)
    {
        dialogs.queueFile(writePicture(ws.outside() + name, QSize(30, 30)));
        form.btImagemClick();
    }
    void saveAs(const char* name)
    {
        dialogs.queueFile(ws.outside() + name);
        form.btSalvarComoClick();
    }
    Workspace ws;
    ScriptedDialogs dialogs;
    TformMain form;
    const QString file = ws.outside() + "a.vimel";
};

} // namespace

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void pagePlacement_data();
    void pagePlacement();
    void panelsKeepRightEdge_data();
    void panelsKeepRightEdge();
    void wheelScrollsByEightPerNotch_data();
    void wheelScrollsByEightPerNotch();
    void wheelFocusesScrollBox();
    void wheelOutsideMainWindowIsLeftAlone_data();
    void wheelOutsideMainWindowIsLeftAlone();
    void imagemAddsPicture();
    void imagemCancelledChangesNothing();
    void closingEmptyPageAsksNothing();
    void questionsBeforeReplacing_data();
    void questionsBeforeReplacing();
    void titleFollowsSavesAndUndo();
    void recentProjects();
    void errorReport_data();
    void errorReport();
    void captionsGetNoDisplayName();
    void portugueseWhateverTheMachine_data();
    void portugueseWhateverTheMachine();

private:
    Application* app() { return static_cast<Application*>(qApp); }
};

void TestShell::init()
{
    app()->setDialogs(nullptr);
}

void TestShell::pagePlacement_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("scrollBox");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("business card in 729 x 534") << int(BusinessCard) << kWindowFor729x534
                                                << QSize(729, 534) << QPoint(174, 159);
    QTest::newRow("full page in 729 x 534") << int(FullPage) << kWindowFor729x534 << QSize(729, 534)
                                            << QPoint(116, 49);
    QTest::newRow("folded card in 729 x 534") << int(FoldedCard) << kWindowFor729x534 << QSize(729, 534)
                                              << QPoint(94, 76);
    QTest::newRow("folded card wider than the box") << int(FoldedCard) << QSize(640, 480) << QSize(527, 342)
                                                    << QPoint(-7, -20);
    QTest::newRow("odd sizes truncate") << int(BusinessCard) << QSize(844, 673) << QSize(731, 535)
                                        << QPoint(175, 159);
}

void TestShell::pagePlacement()
{
    QFETCH(int, layout);
    QFETCH(QSize, window);
    QFETCH(QSize, scrollBox);
    QFETCH(QPoint, expected);
    Workspace ws;
    ScriptedDialogs dialogs;
    ws.state.pageLayout = layout;
    TformMain form(ws.state, dialogs);
    form.panelDraw->resize(pageSizeFor(layout));
    form.resize(window);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.scroll->size(), scrollBox);
    // Resizing the scroll box re-centres the page by itself.
    QCOMPARE(form.pageView->pos(), expected);
    form.pageView->move(3, 3);
    form.scrollResize();
    QCOMPARE(form.pageView->pos(), expected);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(dialogs);
}

void TestShell::panelsKeepRightEdge_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("842 wide") << 842;
    QTest::newRow("smallest window") << 640;
    QTest::newRow("1000 wide") << 1000;
}

void TestShell::panelsKeepRightEdge()
{
    QFETCH(int, width);
    Workspace ws;
    ScriptedDialogs dialogs;
    TformMain form(ws.state, dialogs);
    form.resize(width, 700);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.panelTop->width(), width);
    QCOMPARE(form.imLogoEdt->geometry(), QRect(width - 83 - 5, 0, 83, 96));
    QCOMPARE(form.btnSair->geometry(), QRect(width - 105 - 15, 5, 105, 33));
    QCOMPARE(form.btnCreditos->geometry(), QRect(width - 105 - 15 - 105 - 4, 5, 105, 33));
}

void TestShell::wheelScrollsByEightPerNotch_data()
{
    QTest::addColumn<QList<QPoint>>("deltas");  // angle deltas, one event each
    QTest::addColumn<int>("change");
    using L = QList<QPoint>;
    QTest::newRow("one notch away from the user") << L{{0, 120}} << -8;
    QTest::newRow("one notch towards the user") << L{{0, -120}} << 8;
    QTest::newRow("two notches in one event") << L{{0, 240}} << -16;
    QTest::newRow("three notches, one by one") << L{{0, -120}, {0, -120}, {0, -120}} << 24;
    QTest::newRow("touchpad halves add up") << L{{0, 60}, {0, 60}} << -8;
    QTest::newRow("touchpad, less than a notch") << L{{0, 30}, {0, 30}} << 0;
    QTest::newRow("fine wheel, 40 at a time") << L{{0, -40}, {0, -40}, {0, -40}, {0, -40}} << 8;
    QTest::newRow("turning back drops the part") << L{{0, 60}, {0, -60}, {0, -60}} << 8;
    QTest::newRow("horizontal only") << L{{120, 0}} << 0;
    QTest::newRow("no distance") << L{{0, 0}} << 0;
}

void TestShell::wheelScrollsByEightPerNotch()
{
    QFETCH(QList<QPoint>, deltas);
    QFETCH(int, change);
    Workspace ws;
    ScriptedDialogs dialogs;
    TformMain form(ws.state, dialogs);
    form.resize(kWindowFor729x534);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QScrollBar* bar = form.scroll->verticalScrollBar();
    QVERIFY(bar->maximum() >= 100);
    bar->setValue(40);
    for (const QPoint& d : deltas)
        sendWheel(form.panelDraw, d);
    QCOMPARE(bar->value(), 40 + change);
}

void TestShell::wheelFocusesScrollBox()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TformMain form(ws.state, dialogs);
    form.resize(kWindowFor729x534);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.btnNovo->setFocus();
    sendWheel(form.btnNovo, QPoint(0, -120));
    QVERIFY(form.scroll->hasFocus());
    QCOMPARE(form.scroll->verticalScrollBar()->value(), 8);
}

void TestShell::wheelOutsideMainWindowIsLeftAlone_data()
{
    QTest::addColumn<bool>("ownedByMainWindow");
    QTest::newRow("dialog of the main window") << true;
    QTest::newRow("separate window") << false;
}

void TestShell::wheelOutsideMainWindowIsLeftAlone()
{
    QFETCH(bool, ownedByMainWindow);
    Workspace ws;
    ScriptedDialogs dialogs;
    TformMain form(ws.state, dialogs);
    form.resize(kWindowFor729x534);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QDialog dialog(ownedByMainWindow ? &form : nullptr);
    auto* list = new QPlainTextEdit(&dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    list->setPlainText(QStringLiteral("linha\n").repeated(300));
    dialog.resize(200, 150);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QScrollBar* main = form.scroll->verticalScrollBar();
    main->setValue(40);
    list->verticalScrollBar()->setValue(0);
    sendWheel(list->viewport(), QPoint(0, -120));
    QCOMPARE(main->value(), 40);
    QVERIFY(list->verticalScrollBar()->value() > 0);  // the dialog's own list scrolled
}

void TestShell::imagemAddsPicture()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TformMain form(ws.state, dialogs);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString chosen = writePicture(ws.state.dataFolder + "cliparts/sol.png", QSize(600, 600));
    dialogs.queueFile(chosen);
    QTest::mouseClick(form.btnImagem, Qt::LeftButton);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(dialogs);
    QCOMPARE(dialogs.fileRequests().size(), 1);
    const FileDialogRequest& r = dialogs.fileRequests().first().request;
    QCOMPARE(dialogs.fileRequests().first().owner, &form);
    QCOMPARE(r.kind, FileDialogRequest::OpenPicture);
    QCOMPARE(r.title, QStringLiteral("Abrir..."));
    QCOMPARE(r.startFolder, ws.state.dataFolder + "cliparts");
    QVERIFY(r.places.isEmpty());
    QCOMPARE(r.filters.size(), 7);
    QCOMPARE(r.filters.first().second,
             (QStringList{"*.png", "*.jpg", "*.jpeg", "*.bmp", "*.ico", "*.wmf"}));
    QCOMPARE(form.items().Count(), 1);
    QCOMPARE(form.items().Items(0).Attributes().FileName, ws.state.workingFolder + "sol.png");
    QCOMPARE(form.items().Items(0).Image()->parentWidget(), form.panelDraw);
    QVERIFY(QFile::exists(ws.state.workingFolder + "sol.png"));
}

void TestShell::imagemCancelledChangesNothing()
{
    Workspace ws;
    ws.state.shippedDataFolder = ws.outside(); // installed: the user's cliparts are offered too
    ScriptedDialogs dialogs;
    TformMain form(ws.state, dialogs);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    dialogs.queueFile(QString());
    QTest::mouseClick(form.btnImagem, Qt::LeftButton);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(dialogs);
    const FileDialogRequest& r = dialogs.fileRequests().first().request;
    QCOMPARE(r.startFolder, ws.outside() + "cliparts");
    QCOMPARE(r.places.size(), 2);
    QCOMPARE(r.places.last().second, ws.state.dataFolder + "cliparts");
    QCOMPARE(form.items().Count(), 0);
    QVERIFY(QDir(ws.state.workingFolder).isEmpty());
}

void TestShell::closingEmptyPageAsksNothing()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    auto form = std::make_unique<TformMain>(ws.state, dialogs);
    form->show();
    QVERIFY(writeBytes(ws.state.workingFolder + "sobra.png", "x"));
    QVERIFY(QDir().mkpath(ws.state.workingFolder + "sub"));
    QVERIFY(form->close());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(dialogs);
    QVERIFY(dialogs.messages().isEmpty());
    QVERIFY(!QFile::exists(ws.state.workingFolder + "sobra.png"));
    QVERIFY(QFileInfo(ws.state.workingFolder + "sub").isDir());
}

void TestShell::questionsBeforeReplacing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer"); // Ok: the page was saved, nothing to ask
    const char* names[] = {"saved page", "changed, Sim", "changed, Não", "changed, Cancelar"};
    for (const char* action : {"Novo", "Abrir", "fechar"})
        for (Answer answer : {Answer::Ok, Answer::Yes, Answer::No, Answer::Cancel})
            QTest::addRow("%s, %s", action, names[int(answer)]) << action << int(answer);
}

void TestShell::questionsBeforeReplacing()
{
    QFETCH(QString, action);
    QFETCH(int, answer);
    const bool changed = answer != int(Answer::Ok);
    SavedPage p;
    if (changed)
        p.addPicture("b.png");
    const QByteArray saved = readAll(p.file);
    if (changed)
        p.dialogs.queueAnswer(Answer(answer));
    const bool goesOn = !changed || answer != int(Answer::Cancel);
    QSignalSpy novo(&p.form, &TformMain::newProjectDialogRequested);
    if (action == "Novo") {
        p.form.btNovoClick();
        QCOMPARE(novo.count(), int(goesOn));
        // The template chosen next is no one's file: its first save asks where.
        QVERIFY(!goesOn || (p.form.clearPageForNewProject() && p.form.projectFile().isEmpty()));
    } else if (action == "Abrir") {
        if (goesOn)
            p.dialogs.queueFile(p.file);
        p.form.btAbrirClick();
    } else {
        QCOMPARE(p.form.close(), goesOn);
    }
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.fileRequests().size(), 2 + int(changed) + int(action == "Abrir" && goesOn));
    QCOMPARE(p.dialogs.messages().size(), int(changed));
    QCOMPARE(readAll(p.file) != saved, answer == int(Answer::Yes));
    QVERIFY(goesOn || (p.form.items().Count() == 2 && p.form.isModified())); // kept as it was
}

void TestShell::titleFollowsSavesAndUndo()
{
    SavedPage p; // "a.vimel"
    const struct { std::function<void()> step; const char* title; int fileDialogs, saves; } steps[] = {
        {[&] { p.addPicture("b.png"); }, "*a.vimel — Quadrela", 3, 1},
        {[&] { p.form.btnDesfazer->click(); }, "a.vimel — Quadrela", 3, 1},
        {[&] { p.form.btnRefazer->click(); }, "*a.vimel — Quadrela", 3, 1},
        {[&] { QTest::keyClick(p.form.scroll, Qt::Key_S, Qt::ControlModifier); }, "a.vimel — Quadrela", 3, 2},
        {[&] { p.form.btnDesfazer->click(); }, "*a.vimel — Quadrela", 3, 2},
        {[&] { p.saveAs("a.vimel"); }, "a.vimel — Quadrela", 4, 3},
        {[&] { p.saveAs("b.vimel"); }, "b.vimel — Quadrela", 5, 4},
        {[&] { p.dialogs.queueAnswer(Answer::No); p.saveAs("a.vimel"); }, "b.vimel — Quadrela", 6, 4},
        {[&] { p.form.btnRefazer->click(); }, "*b.vimel — Quadrela", 6, 4},
        {[&] { p.dialogs.queueAnswer(Answer::Yes); p.saveAs("a.vimel"); }, "a.vimel — Quadrela", 7, 5},
    };
    for (const auto& s : steps) {
        s.step();
        QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
        QCOMPARE(p.form.windowTitle(), QString::fromUtf8(s.title));
        QCOMPARE(p.dialogs.fileRequests().size(), s.fileDialogs);
        QCOMPARE(p.dialogs.notices().size(), s.saves);
    }
    QCOMPARE(p.dialogs.messageTexts(), QStringList(2, overwriteQuestion(p.file)));
    QCOMPARE(p.dialogs.notices().last(), savedNotice(p.file));
}

// Twelve projects saved, the tenth again, the eleventh gone.
void TestShell::recentProjects()
{
    Workspace ws;
    QSettings settings;
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 9}) {
        QVERIFY(writeBytes(ws.state.dataFolder + QString::number(i), "x"));
        rememberProject(settings, ws.state.dataFolder + QString::number(i));
    }
    QVERIFY(QFile::remove(ws.state.dataFolder + "10"));
    QStringList offered;
    for (int i : {9, 11, 8, 7, 6, 5, 4, 3, 2, 1})
        offered.append(ws.state.dataFolder + QString::number(i));
    QCOMPARE(quadrela::recentProjects(settings), offered);
}

void TestShell::errorReport_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("posted");
    QTest::addColumn<QString>("message");
    QTest::newRow("program error, sent") << int(Thrower::OurError) << false << "Cannot open file /x/y.png";
    QTest::newRow("program error, posted") << int(Thrower::OurError) << true << "Cannot open file /x/y.png";
    QTest::newRow("out of memory") << int(Thrower::OutOfMemory) << false
                                   << "Memória insuficiente para concluir a operação.";
    QTest::newRow("other failure") << int(Thrower::Other) << true << "falha qualquer";
}

void TestShell::errorReport()
{
    QFETCH(int, kind);
    QFETCH(bool, posted);
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    dialogs.queueAnswer(Answer::Ok);
    dialogs.queueAnswer(Answer::Ok);
    app()->setDialogs(&dialogs);
    Thrower thrower{Thrower::Kind(kind)};
    for (int round = 0; round < 2; ++round) {  // the program goes on after a failure
        if (posted) {
            QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
            QCoreApplication::sendPostedEvents(&thrower);
        } else {
            QEvent e(QEvent::User);
            QCoreApplication::sendEvent(&thrower, &e);
        }
    }
    app()->setDialogs(nullptr);
    QCOMPARE(thrower.delivered, 2);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(dialogs);
    QCOMPARE(dialogs.messageTexts(), (QStringList{message, message}));
    QCOMPARE(dialogs.messages().first().buttons, Buttons::Ok);
}

// X11 appends a display name, once one is set, to every window title that lacks it.
void TestShell::captionsGetNoDisplayName()
{
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("sonda"));
    const QString shown = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(name);
    QCOMPARE(shown, QStringLiteral("sonda"));
}

void TestShell::portugueseWhateverTheMachine_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    Workspace ws; // the file dialog's list: a folder's type, a file's date
    QDir().mkpath(ws.outside() + "pasta");
    QFile file(ws.outside() + "a.txt");
    QVERIFY(file.open(QFile::WriteOnly) &&
            file.setFileTime({{2023, 12, 9}, {14, 5}}, QFile::FileModificationTime));
    QFileSystemModel files;
    QTRY_COMPARE(files.rowCount(files.setRootPath(ws.outside())), 2);
    FileListInPortuguese list;
    list.setSourceModel(&files);
    const QModelIndex folder = list.mapFromSource(files.index(ws.outside() + "pasta"));
    const QModelIndex a = list.mapFromSource(files.index(file.fileName()));
    QTest::newRow("folder type") << folder.siblingAtColumn(2).data().toString() << "Pasta";
    QTest::newRow("date") << a.siblingAtColumn(3).data().toString() << "09/12/2023 14:05";
    QTest::newRow("8-point face") << QFontInfo(QFont("MS Sans Serif", 8)).family()
                                  << "Liberation Sans";
}

void TestShell::portugueseWhateverTheMachine()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

int main(int argc, char** argv)
{
    Application app(argc, argv);
    TestShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shell.moc"
