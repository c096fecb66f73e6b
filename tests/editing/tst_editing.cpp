// Editing safety on the main window: every kind of step undone and redone against the
// page's records, the keys, the selection frame, and the page found again after a kill.
#include "catalogue/form_Novo.h"
#include "core/convert.h"
#include "imaging/form_Texto.h"
#include "page/form_Resize.h"
#include "page/handlers.h"
#include "page/history.h"
#include "page/pagekeys.h"
#include "page/pageview.h"
#include "page/zoom.h"
#include "page/selectionframe.h"
#include "scripteddialogs.h"
#include "shell/form_Main.h"
#include "shell/glyphbutton.h"
#include "storage/records.h"
#include "storage/recovery.h"
#include "workspace.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollArea>
#include <QTest>
#include <QWheelEvent>
#include <csignal>

using namespace quadrela;
using namespace quadrela::test;

namespace {

// clang-format off
enum Step { AddPicture, AddBorder, AddText, ChangeText, Delete, DragText, DragEdge, ResizeDialog,
            AlignRight, Front, Back, Arrows, BorderAgain, TurnRight, PressPage, DragEscape };
// clang-format on

// Two pictures and a text block, the history started afresh; in the data folder given,
// or in a private one.
struct Desk
{
    explicit Desk(const QString& dataFolder = QString()) : form(at(dataFolder), dialogs)
    {
        form.show();
        for (const char* name : {"a.png", "b.png"}) {
            dialogs.queueFile(writePicture(ws.outside() + name, QSize(300, 200)));
            form.btImagemClick();
        }
        texto.memoText->setPlainText(QStringLiteral("Olá"));
        texto.btOKClick();
        texto.setStepRunner(form.history().runner());
        QObject::connect(&texto, &TformTexto::blockPlaced, &form, &TformMain::selectItem);
        form.projectReplaced();
    }
    AppState& at(const QString& dataFolder)
    {
        if (!dataFolder.isEmpty())
            ws.state.dataFolder = dataFolder, ws.state.workingFolder = dataFolder + "project/";
        return ws.state;
    }
    QByteArray records() { return itemRecordFileFor(form.items(), form.panelDraw); }
    QStringList files() { return QDir(ws.state.workingFolder).entryList(QDir::Files); }
    TFocusImage* control(int i) { return form.items().Items(i).Image(); }

    Workspace ws;
    ScriptedDialogs dialogs;
    TformMain form;
    TformTexto texto{ws.state, form.items()};
};

void doStep(Desk& d, Step step)
{
    ItemHandlers& h = d.form.handlers();
    TFocusImage* text = d.control(2);
    h.setSelection(d.control(0));
    switch (step) {
    case AddPicture:
        d.dialogs.queueFile(writePicture(d.ws.outside() + "c.png", QSize(90, 90)));
        return d.form.btImagemClick();
    case BorderAgain: // after a border showing the same working copy
    case AddBorder:
        writePicture(d.ws.state.workingFolder + "borda.png", QSize(50, 70));
        return d.form.history().record("Borda", [&] {
            TCampos& items = d.form.items();
            TDesc border;
            border.FileName = d.ws.state.workingFolder + "borda.png";
            items.Items(items.Add(BorderItem, border.FileName)).SetAttributes(border);
        });
    case ChangeText:
        d.ws.state.editing = {2, "Olá", true, text};
        d.ws.state.text.FontSize = 30;
        [[fallthrough]];
    case AddText:
        d.texto.memoText->setPlainText(QStringLiteral("Novo texto"));
        return d.texto.btOKClick();
    case Delete:
        return QTest::keyClick(d.form.scroll, Qt::Key_Delete);
    case DragText:
    case DragEdge: {
        TFocusImage* c = step == DragText ? text : d.control(0);
        const QPoint at = step == DragText ? QPoint(5, 5) : QPoint(c->width() - 2, 5);
        // Through the view, as the pointer reaches the page.
        QWidget* v = d.form.pageView->viewport();
        QTest::mousePress(v, Qt::LeftButton, {}, c->pos() + at);
        QTest::mouseMove(v, c->pos() + at + QPoint(25, 9));
        return QTest::mouseRelease(v, Qt::LeftButton, {}, c->pos() + at + QPoint(25, 9));
    }
    case ResizeDialog: {
        TformResize resize([&h] { return h.selection(); });
        resize.setStepRunner(d.form.history().runner());
        resize.edLargura->setText("50");
        return resize.btOKClick();
    }
    case AlignRight:
        return h.alignMenu->actions().at(2)->trigger();
    case Front:
        return h.popFrente->trigger();
    case Back:
        h.setSelection(text);
        return h.popAtras->trigger();
    case TurnRight:
        return h.popGirarDireita->trigger();
    case Arrows:
        QTest::keyClick(d.form.scroll, Qt::Key_Right, Qt::ShiftModifier);
        return QTest::keyClick(d.form.scroll, Qt::Key_Up);
    case PressPage:
        return QTest::mouseClick(d.form.pageView->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    case DragEscape: {
        QWidget* v = d.form.pageView->viewport();
        const QPoint at = text->pos() + QPoint(5, 5);
        QTest::mousePress(v, Qt::LeftButton, {}, at);
        QTest::mouseMove(v, at + QPoint(30, 20));
        QTest::keyClick(d.form.scroll, Qt::Key_Escape);
        return QTest::mouseRelease(v, Qt::LeftButton, {}, at);
    }
    }
}

// The child of the kill test: a few changes, then it waits for the records and reports them.
int recoveryChild(const QString& dataFolder)
{
    Desk d(dataFolder);
    markRunStarted(dataFolder);
    for (Step s : {AddPicture, AddBorder, Back, Arrows})
        doStep(d, s);
    const QByteArray expected = d.records();
    for (int n = 0; n < 500 && readAll(dataFolder + "project/item.txt") != expected; ++n)
        QTest::qWait(10);
    fprintf(stdout, "%s\n", expected.toBase64().constData());
    fflush(stdout);
    QTest::qWait(60000);
    return 1;
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void undoOfVanishedCopyShowsNotice();
    void keys_data();
    void keys();
    void keysWhileDialogHasFocus();
    void selectionFrameOnScreenOnly();
    void selectionFollowsUser_data();
    void selectionFollowsUser();
    void recoveryAfterKill_data();
    void recoveryAfterKill();
    void refusedWriteToldOnce();
    void steadyChangesStillWritten();
    void staleHistoryFoldersGoNotThroughLinks();
    void dragAtZoom_data();
    void dragAtZoom();
    void zoomSteps_data();
    void zoomSteps();
    void newProjectStartsNewHistory_data();
    void newProjectStartsNewHistory();
};

void TestEditing::steps_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("aside"); // working copies the step takes off the page
    const std::pair<const char*, Step> rows[] = {{"picture added", AddPicture},
                                                 {"border added", AddBorder},
                                                 {"text added", AddText},
                                                 {"text changed", ChangeText},
                                                 {"delete key", Delete},
                                                 {"text dragged", DragText},
                                                 {"edge dragged", DragEdge},
                                                 {"resize dialog", ResizeDialog},
                                                 {"align right", AlignRight},
                                                 {"front", Front},
                                                 {"back", Back},
                                                 {"arrows, one step", Arrows},
                                                 {"border sharing a copy", BorderAgain},
                                                 {"turned right", TurnRight}};
    for (const auto& [name, step] : rows)
        QTest::newRow(name) << int(step) << (step == Delete || step >= TurnRight ? 1 : 0);
}

void TestEditing::steps()
{
    QFETCH(int, step);
    QFETCH(int, aside);
    Desk d;
    if (step == BorderAgain)
        doStep(d, AddBorder), d.form.history().clear();
    QVERIFY(!d.form.btnDesfazer->isEnabled());
    const QByteArray before = d.records();
    const QStringList filesBefore = d.files();
    doStep(d, Step(step));
    const QByteArray after = d.records();
    const QStringList filesAfter = d.files();
    QVERIFY(after != before);
    QCOMPARE(filesAfter.size(), filesBefore.size() - aside + (step <= AddBorder || step >= TurnRight));
    QCOMPARE(d.form.history().stack().count(), 1);
    QVERIFY(d.form.btnDesfazer->isEnabled() && !d.form.btnRefazer->isEnabled());

    QTest::keyClick(d.form.scroll, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.records(), before);
    QCOMPARE(d.files(), filesBefore);
    QVERIFY(d.form.btnRefazer->isEnabled());
    // A save after the undo writes the page as it is now, with every picture it shows.
    QVERIFY(SaveProject(d.form.projectContext(), d.ws.outside() + "p.vimel"));
    QCOMPARE(readAll(d.ws.state.workingFolder + "item.txt"), before);

    QTest::keyClick(d.form.scroll, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(d.records(), after);
    QCOMPARE(d.files(), filesAfter);
    d.form.btnDesfazer->click();
    QTest::keyClick(d.form.scroll, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(d.records(), after);
    QCOMPARE(d.ws.state.text.FontSize,
             step == ChangeText ? 30 : 10); // undo keeps the user's choice
    QVERIFY(d.dialogs.messages().isEmpty());
}

void TestEditing::undoOfVanishedCopyShowsNotice()
{
    Desk d;
    const QByteArray before = d.records();
    QVERIFY(QFile::remove(d.ws.state.workingFolder + "a.png"));
    doStep(d, Delete);
    d.form.history().stack().undo();
    QCOMPARE(d.records(), before);
    QVERIFY(d.control(0)->bitmap().size() != QSize(300, 200)); // the notice, not the picture
}

void TestEditing::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("command");
    QTest::addColumn<QPoint>("nudge");
    const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << int(PageKey::Nudge) << QPoint(-1, 0);
    QTest::newRow("shift down") << int(Qt::Key_Down) << shift << int(PageKey::Nudge)
                                << QPoint(0, 10);
    QTest::newRow("keypad up") << int(Qt::Key_Up) << int(Qt::KeypadModifier) << int(PageKey::Nudge)
                               << QPoint(0, -1);
    QTest::newRow("ctrl right") << int(Qt::Key_Right) << ctrl << int(PageKey::None) << QPoint();
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << int(PageKey::Delete) << QPoint();
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << int(PageKey::ClearSelection) << QPoint();
    QTest::newRow("ctrl z") << int(Qt::Key_Z) << ctrl << int(PageKey::Undo) << QPoint();
    QTest::newRow("ctrl shift z") << int(Qt::Key_Z) << (ctrl | shift) << int(PageKey::Redo)
                                  << QPoint();
    QTest::newRow("ctrl y") << int(Qt::Key_Y) << ctrl << int(PageKey::Redo) << QPoint();
    QTest::newRow("ctrl shift s") << int(Qt::Key_S) << (ctrl | shift) << int(PageKey::SaveAs) << QPoint();
    QTest::newRow("plain z") << int(Qt::Key_Z) << 0 << int(PageKey::None) << QPoint();
    QTest::newRow("ctrl c") << int(Qt::Key_C) << ctrl << int(PageKey::Copy) << QPoint();
    QTest::newRow("ctrl n") << int(Qt::Key_N) << ctrl << int(PageKey::New) << QPoint();
    QTest::newRow("ctrl o") << int(Qt::Key_O) << ctrl << int(PageKey::Open) << QPoint();
    QTest::newRow("ctrl s") << int(Qt::Key_S) << ctrl << int(PageKey::Save) << QPoint();
}

void TestEditing::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, command);
    QFETCH(QPoint, nudge);
    QCOMPARE(pageKeyCommand(key, Qt::KeyboardModifiers(modifiers)),
             (PageKeyCommand{PageKey(command), nudge}));
}

void TestEditing::keysWhileDialogHasFocus()
{
    Desk d;
    d.form.handlers().setSelection(d.control(0));
    d.texto.show();
    QTest::keyClick(d.texto.memoText, Qt::Key_Delete);
    QTest::keyClick(d.texto.memoText, Qt::Key_Escape);
    QCOMPARE(d.form.items().Count(), 3);
    QCOMPARE(d.form.handlers().selection(), d.control(0));
}

void TestEditing::selectionFrameOnScreenOnly()
{
    Desk d;
    TFocusImage* c = d.control(0);
    c->move(20, 20); // clear of the others
    QTest::mouseClick(d.form.pageView->viewport(), Qt::LeftButton, {}, c->geometry().center());
    QVERIFY(d.form.selectionFrame->isVisible());
    QCOMPARE(d.form.selectionFrame->geometry(), c->geometry().translated(d.form.pageView->pos()));
    // The frame's top edge on screen, and the same row of the page rendered.
    const QRect edge(d.form.selectionFrame->pos(), QSize(c->width(), 1));
    const QImage screen = d.form.scrollContent->grab(edge).toImage();
    QImage page(d.form.panelDraw->size(), QImage::Format_RGB32);
    d.form.panelDraw->render(&page);
    const QImage rendered = page.copy(QRect(c->pos(), edge.size()));
    const auto blue = [](const QImage& row) {
        for (int x = 0; x < row.width(); ++x)
            if (row.pixel(x, 0) == qRgb(0, 90, 200))
                return true;
        return false;
    };
    QVERIFY(blue(screen.convertToFormat(QImage::Format_RGB32)));
    QVERIFY(!blue(rendered));
    QTest::keyClick(d.form.scroll, Qt::Key_Escape);
    QVERIFY(!d.form.selectionFrame->isVisible());
    doStep(d, AddBorder); // a border cannot move, so it shows no frame
    QTest::mouseClick(d.control(3), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(d.form.handlers().selection(), d.control(3));
    QVERIFY(!d.form.selectionFrame->isVisible());
}

void TestEditing::dragAtZoom_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("item");
    QTest::addColumn<QPoint>("grab");  // page pixels into the item; -2: from its right edge
    QTest::addColumn<QPoint>("screen"); // screen pixels dragged
    QTest::addColumn<QRect>("change");  // page pixels: moved by, grown by
    QTest::newRow("text moved at 50 %") << 0.5 << 2 << QPoint(5, 5) << QPoint(20, 30) << QRect(40, 60, 0, 0);
    QTest::newRow("text moved at 100 %") << 1.0 << 2 << QPoint(5, 5) << QPoint(20, -10) << QRect(20, -10, 0, 0);
    QTest::newRow("picture moved at 200 %") << 2.0 << 0 << QPoint(40, 40) << QPoint(100, 30) << QRect(50, 15, 0, 0);
    QTest::newRow("picture moved at 400 %") << 4.0 << 0 << QPoint(40, 40) << QPoint(100, -40) << QRect(25, -10, 0, 0);
    QTest::newRow("right edge at 300 %") << 3.0 << 0 << QPoint(-2, 40) << QPoint(60, 0) << QRect(0, 0, 18, 0);
}

void TestEditing::dragAtZoom()
{
    QFETCH(double, zoom);
    QFETCH(int, item);
    QFETCH(QPoint, grab);
    QFETCH(QPoint, screen);
    QFETCH(QRect, change);
    Desk d;
    d.form.setZoom(zoom);
    TFocusImage* c = d.control(item);
    c->setGeometry(QRect(QPoint(10, 30), item == 2 ? c->size() : QSize(120, 90)));
    const QRect before = c->geometry();
    const QPoint at = c->pos() + (grab.x() < 0 ? QPoint(c->width() + grab.x(), grab.y()) : grab);
    QWidget* v = d.form.pageView->viewport();
    const QPoint press = (QPointF(at) * zoom).toPoint();
    // Straight to the view: the pointer may lie beyond what the scroll box shows.
    const auto send = [v](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, at, v->mapToGlobal(at), Qt::LeftButton, held, {});
        QApplication::sendEvent(v, &e);
    };
    send(QEvent::MouseButtonPress, press, Qt::LeftButton);
    send(QEvent::MouseMove, press + screen, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, press + screen, Qt::NoButton);
    QCOMPARE(c->geometry(), QRect(before.topLeft() + change.topLeft(), before.size() + change.size()));
    QCOMPARE(d.form.selectionFrame->geometry(), d.form.pageView->mapFromPage(c->geometry()));
}

void TestEditing::zoomSteps_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("in");
    QTest::addColumn<double>("out");
    QTest::newRow("100 %") << 1.0 << 1.5 << 0.75;
    QTest::newRow("smallest") << 0.25 << 0.5 << 0.25;
    QTest::newRow("largest") << 4.0 << 4.0 << 3.0;
    QTest::newRow("fitted between steps") << 0.85 << 1.0 << 0.75;
    QTest::newRow("fitted a hair below a step") << 0.4999999999 << 0.75 << 0.25;
}

void TestEditing::zoomSteps()
{
    QFETCH(double, from);
    QFETCH(double, in);
    QFETCH(double, out);
    QCOMPARE(zoomIn(from), in);
    QCOMPARE(zoomOut(from), out);
    // Ctrl+wheel zooms around the pointer: the page point under it stays under it.
    Desk d;
    d.form.resize(700, 500);
    d.form.setZoom(from);
    QWidget* viewport = d.form.scroll->viewport();
    const QPoint pointer(300, 200);
    const auto pagePointAt = [&] {
        const QPoint content = d.form.scrollContent->mapFrom(viewport, pointer);
        return QPointF(content - d.form.pageView->pos()) / d.form.pageView->zoom();
    };
    const QPointF under = pagePointAt();
    QWheelEvent wheel(pointer, viewport->mapToGlobal(pointer), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QCOMPARE(d.form.pageView->zoom(), in);
    if (in > from && in > 1.0)
        QVERIFY((pagePointAt() - under).manhattanLength() < 1.0);
}

void TestEditing::selectionFollowsUser_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("selected"); // item index; -1: none
    QTest::addColumn<bool>("changed");
    QTest::newRow("picture added") << int(AddPicture) << 3 << true;
    QTest::newRow("text added") << int(AddText) << 3 << true;
    QTest::newRow("press on the empty page") << int(PressPage) << -1 << false;
    QTest::newRow("escape during a drag") << int(DragEscape) << 2 << false;
}

void TestEditing::selectionFollowsUser()
{
    QFETCH(int, step);
    QFETCH(int, selected);
    QFETCH(bool, changed);
    Desk d;
    const QByteArray before = d.records();
    doStep(d, Step(step));
    QCOMPARE(d.form.handlers().selection(), selected < 0 ? nullptr : d.control(selected));
    QCOMPARE(d.form.selectionFrame->isVisible(), selected >= 0);
    QCOMPARE(d.records() != before, changed);
    QCOMPARE(d.form.history().stack().count(), changed ? 1 : 0);
}

void TestEditing::newProjectStartsNewHistory_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("Cancelar keeps page and history") << false;
    QTest::newRow("OK empties the page") << true;
}

void TestEditing::newProjectStartsNewHistory()
{
    QFETCH(bool, chosen);
    Desk d;
    doStep(d, AlignRight);
    d.dialogs.queueAnswer(Answer::Ok); // the private data folder has no template catalogue
    TformNovo novo(d.ws.state, d.dialogs, {[&d] { return d.form.projectContext(); }, {}, false,
                                           [&d] { return d.form.clearPageForNewProject(); }});
    d.dialogs.queueAnswer(Answer::No);
    QTest::keyClick(d.form.scroll, Qt::Key_N, Qt::ControlModifier);
    chosen ? novo.btOKClick() : novo.btCancelarClick();
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(d.dialogs);
    QCOMPARE(d.form.history().stack().count(), chosen ? 0 : 1);
    QCOMPARE(d.form.items().Count(), chosen ? 0 : 3);
}

void TestEditing::recoveryAfterKill_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("damage");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("staleCount"); // "project.txt" one write behind "item.txt"
    QTest::newRow("yes") << int(Answer::Yes) << false << int(Recovery::Recovered) << 0;
    QTest::newRow("yes, killed between the files")
        << int(Answer::Yes) << false << int(Recovery::Recovered) << 3;
    QTest::newRow("no") << int(Answer::No) << false << int(Recovery::Declined) << 0;
    QTest::newRow("damaged records") << int(Answer::Yes) << true << int(Recovery::Damaged) << 0;
}

void TestEditing::recoveryAfterKill()
{
    QFETCH(int, answer);
    QFETCH(bool, damage);
    QFETCH(int, result);
    QFETCH(int, staleCount);
    Workspace ws;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--recovery-child", ws.state.dataFolder});
    while (!child.canReadLine())
        QVERIFY(child.waitForReadyRead(30000));
    const QByteArray expected = QByteArray::fromBase64(child.readLine().trimmed());
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(10000));
    QVERIFY(expected.contains("borda.png") && lastRunEndedAbnormally(ws.state.dataFolder));
    if (staleCount)
        QVERIFY(writeBytes(ws.state.workingFolder + "project.txt",
                           ProjectRecordBytes(staleCount, FullPage)));
    if (damage)
        QVERIFY(
            writeBytes(ws.state.workingFolder + "item.txt", expected.left(expected.size() / 2)));

    ScriptedDialogs dialogs;
    TformMain form(ws.state, dialogs);
    dialogs.queueAnswer(Answer(answer));
    if (damage)
        dialogs.queueAnswer(Answer::Ok);
    QCOMPARE(int(offerRecovery(form.projectContext())), result);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(dialogs);
    QCOMPARE(
        dialogs.messages().first().text,
        "O Quadrela não foi fechado corretamente. Deseja recuperar o projeto que estava aberto?");
    // As the records read back: opening trims a text's last line end.
    const auto page = [&](const QByteArray& records) {
        return ReadItemRecords(fromCp1252(records), 5, {});
    };
    QCOMPARE(page(itemRecordFileFor(form.items(), form.panelDraw)),
             page(result == int(Recovery::Recovered) ? expected : ""));
    QCOMPARE(QDir(ws.state.workingFolder).isEmpty(), result != int(Recovery::Recovered));
}

void TestEditing::refusedWriteToldOnce()
{
    Desk d;
    QVERIFY(QDir(d.ws.state.workingFolder).removeRecursively());
    QVERIFY(writeBytes(d.ws.state.workingFolder.chopped(1), "não é uma pasta"));
    d.dialogs.queueAnswer(Answer::Ok);
    for (int i = 0; i < 3; ++i) {
        doStep(d, Arrows);
        d.form.recoveryWriter().writeNow();
        QCoreApplication::processEvents();
    }
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(d.dialogs);
    QCOMPARE(d.dialogs.messages().size(), 1);
}

void TestEditing::steadyChangesStillWritten()
{
    Desk d;
    d.form.recoveryWriter().writeNow();
    const QString items = d.ws.state.workingFolder + "item.txt";
    QVERIFY(QFile::remove(items));
    for (int i = 0; i < 15 && !QFile::exists(items); ++i) {
        d.form.recoveryWriter().pageChanged();
        QTest::qWait(RecoveryWriter::kDelayMs / 5);
    }
    QVERIFY(QFile::exists(items));
}

void TestEditing::staleHistoryFoldersGoNotThroughLinks()
{
    Workspace ws;
    const QString data = ws.state.dataFolder, kept = ws.outside() + "guardado/";
    QVERIFY(QDir().mkpath(data + "historico-velho/1") && QDir().mkpath(kept) && writeBytes(kept + "foto.png", "x"));
    QVERIFY(QFile::link(kept, data + "historico-link"));
    removeStaleHistoryFolders(data);
    QVERIFY(!QFileInfo::exists(data + "historico-velho") && QFile::exists(kept + "foto.png"));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--recovery-child") == 0)
        return recoveryChild(QString::fromLocal8Bit(argv[2]));
    TestEditing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editing.moc"
