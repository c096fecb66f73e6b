// Program entry: the application, its data folder, one running copy, the windows.
#include "application.h"
#include "catalogue/form_Borda.h"
#include "catalogue/form_Novo.h"
#include "core/datafolders.h"
#include "core/paths.h"
#include "core/runlock.h"
#include "form_Creditos.h"
#include "form_Main.h"
#include "imaging/form_Texto.h"
#include "page/form_Resize.h"
#include "page/handlers.h"
#include "page/history.h"
#include "qtdialogs.h"
#include "storage/recovery.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <functional>
#include <memory>

using namespace quadrela;

namespace {

// Shows a dialog that may be open already behind other windows.
void showDialog(QWidget& dialog)
{
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

// A dialog made the first time it is asked for: most runs never open it, and making it
// (the text dialog lists every font family) would delay the first window.
template <typename Dialog> class OnFirstUse
{
public:
    explicit OnFirstUse(std::function<std::unique_ptr<Dialog>()> make) : m_make(std::move(make)) {}

    Dialog& operator*()
    {
        if (!m_dialog)
            m_dialog = m_make();
        return *m_dialog;
    }

private:
    std::function<std::unique_ptr<Dialog>()> m_make;
    std::unique_ptr<Dialog> m_dialog;
};

} // namespace

int main(int argc, char** argv)
{
    Application app(argc, argv);

    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    AppState state;
    const DataFolders folders = chooseDataFolders(
        folderFactsFor(QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath()));
    if (const QString fault = prepareDataFolders(folders); !fault.isEmpty()) {
        dialogs.message(nullptr, fault, Buttons::Ok);
        return 1;
    }
    state.dataFolder = folders.user;
    state.workingFolder = workingFolderFor(state.dataFolder);
    if (folders.separate())
        state.shippedDataFolder = folders.shipped;

    // Two copies of one user must never share a working folder. The lock lies beside the
    // working folder, so emptying that folder never touches it.
    RunLock lock(state.dataFolder + QStringLiteral("project.lock"));
    if (!lock.tryLock()) {
        if (!lock.problem().isEmpty()) {
            dialogs.message(nullptr, lock.problem(), Buttons::Ok);
            return 1;
        }
        dialogs.message(nullptr, QStringLiteral("O Quadrela já está aberto."), Buttons::Ok);
        return 0;
    }
    const bool crashed = lastRunEndedAbnormally(state.dataFolder);
    markRunStarted(state.dataFolder);
    removeStaleHistoryFolders(state.dataFolder);

    TformMain formMain(state, dialogs);
    OnFirstUse<TformTexto> formTexto([&] {
        auto dialog = std::make_unique<TformTexto>(state, formMain.items(), &formMain);
        dialog->setStepRunner(formMain.history().runner());
        QObject::connect(dialog.get(), &TformTexto::blockPlaced, &formMain,
                         &TformMain::selectItem);
        return dialog;
    });
    QObject::connect(&formMain, &TformMain::textDialogRequested, &formMain,
                     [&formTexto] { (*formTexto).show(); });
    QObject::connect(&formMain.handlers(), &ItemHandlers::textEditRequested, &formMain,
                     [&formTexto] { (*formTexto).showForEditing(); });
    OnFirstUse<TformResize> formResize([&formMain] {
        auto dialog = std::make_unique<TformResize>(
            [&formMain]() -> QWidget* { return formMain.handlers().selection(); }, &formMain);
        dialog->setStepRunner(formMain.history().runner());
        return dialog;
    });
    QObject::connect(&formMain.handlers(), &ItemHandlers::resizeRequested, &formMain,
                     [&formResize] { (*formResize).show(); });
    // Shows itself: every run begins with the choice of a template.
    TformNovo formNovo(state, dialogs,
                       {[&formMain] { return formMain.projectContext(); },
                        [&formMain] {
                            formMain.scrollResize();
                            formMain.projectReplaced();
                        },
                        !crashed,
                        [&formMain] { return formMain.clearPageForNewProject(); }},
                       &formMain);
    QObject::connect(&formMain, &TformMain::newProjectDialogRequested, &formNovo,
                     [&formNovo] { showDialog(formNovo); });
    TformBorda formBorda(state, formMain.items(), dialogs, &formMain);
    formBorda.setStepRunner(formMain.history().runner());
    QObject::connect(&formMain, &TformMain::borderDialogRequested, &formBorda,
                     [&formBorda] { showDialog(formBorda); });
    TformCreditos formCreditos(&formMain);
    QObject::connect(&formMain, &TformMain::creditsRequested, &formCreditos, &QWidget::show);

    formMain.showMaximized();
    // Before the new-project dialog: the page a run that did not end normally left behind.
    if (crashed) {
        if (offerRecovery(formMain.projectContext()) == Recovery::Recovered) {
            formMain.projectReplaced();
            formMain.history().stack().resetClean(); // a recovered page was never saved
            formMain.scrollResize();
        } else {
            showDialog(formNovo);
        }
    }
    // For timing the start and checking an installation: at the first event-loop turn, draw
    // the new-project dialog once (what showing it costs on a screen) and quit as the user
    // would; the run is otherwise an ordinary one.
    if (qEnvironmentVariableIsSet("QUADRELA_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, [&formNovo] {
            formNovo.grab();
            QCoreApplication::quit();
        });
    const int status = app.exec();
    markRunEnded(state.dataFolder);
    return status;
}
