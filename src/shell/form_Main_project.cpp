// The main window's project as a document: the file it came from or went to, the title
// that names it and shows unsaved changes, the questions before it is replaced, and the
// projects opened last.
#include "form_Main.h"

#include "application.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "core/workfolder.h"
#include "glyphbutton.h"
#include "page/history.h"
#include "page/items.h"
#include "recentprojects.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QToolButton>
#include <QUndoStack>

namespace quadrela {

namespace {

// The small arrow at the right end of a command button that opens its menu.
QToolButton* addMenuArrow(GlyphButton* button, QMenu* menu)
{
    constexpr int kWidth = 14;
    auto* arrow = new QToolButton(button);
    arrow->setArrowType(Qt::DownArrow);
    arrow->setAutoRaise(true);
    arrow->setPopupMode(QToolButton::InstantPopup);
    arrow->setMenu(menu);
    arrow->setGeometry(button->width() - kWidth - 3, 3, kWidth, button->height() - 6);
    arrow->setFocusPolicy(Qt::NoFocus);
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, menu,
                     [button, menu](const QPoint& at) { menu->popup(button->mapToGlobal(at)); });
    return arrow;
}

} // namespace

QString overwriteQuestion(const QString& path)
{
    // Qt's own question before a file is replaced, as its Portuguese translation words it.
    return QStringLiteral("%1 já existe.\nDeseja substituí-la?").arg(QFileInfo(path).fileName());
}

void TformMain::createProjectMenus()
{
    recentMenu = new QMenu(this);
    connect(recentMenu, &QMenu::aboutToShow, this, &TformMain::fillRecentMenu);
    btAbrirSeta = addMenuArrow(btnAbrir, recentMenu);
    btAbrirSeta->setToolTip(QStringLiteral("Projetos recentes"));

    saveMenu = new QMenu(this);
    saveMenu->addAction(QStringLiteral("Salvar"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                        [this] { btSalvarClick(); });
    saveMenu->addAction(QStringLiteral("Salvar como..."),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                        [this] { btSalvarComoClick(); });
    btSalvarSeta = addMenuArrow(btnSalvar, saveMenu);
    btSalvarSeta->setToolTip(QStringLiteral("Salvar como..."));

    connect(&m_history->stack(), &QUndoStack::cleanChanged, this, &TformMain::updateTitle);
    updateTitle();
}

void TformMain::fillRecentMenu()
{
    recentMenu->clear();
    QSettings settings;
    const QStringList recent = recentProjects(settings);
    for (const QString& path : recent) {
        const QFileInfo file(path);
        QString shown = QStringLiteral("%1  (%2)").arg(
            file.fileName(), QDir::toNativeSeparators(file.absolutePath()));
        QAction* action = recentMenu->addAction(shown.replace(u'&', QStringLiteral("&&")));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { openRecentProject(path); });
    }
    if (recent.isEmpty())
        recentMenu->addAction(QStringLiteral("Nenhum projeto recente"))->setEnabled(false);
    recentMenu->addSeparator();
    recentMenu->addAction(QStringLiteral("Abrir outro projeto..."), this,
                          [this] { btAbrirClick(); });
}

bool TformMain::isModified() const
{
    return !m_history->stack().isClean();
}

void TformMain::updateTitle()
{
    QString name = m_projectFile.isEmpty() ? QStringLiteral("Sem título")
                                           : QFileInfo(m_projectFile).fileName();
    // "[*]" is the place of the change mark in a window title; a name holding it is doubled.
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(QStringLiteral("%1%2 — %3")
                       .arg(isModified() ? QStringLiteral("*") : QString(), name, kAppTitle));
}

bool TformMain::offerToSave()
{
    if (!isModified())
        return true;
    switch (m_dialogs.message(this, QStringLiteral("Deseja salvar o projeto atual?"),
                              Buttons::YesNoCancel)) {
    case Answer::Yes:
        return btSalvarClick();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void TformMain::btAbrirClick()
{
    if (offerToSave())
        openProjectFile(m_dialogs.chooseFile(this, openProjectRequest()));
}

void TformMain::openRecentProject(const QString& path)
{
    if (offerToSave())
        openProjectFile(path);
}

void TformMain::openProjectFile(const QString& path)
{
    if (!path.isEmpty() && fileExists(path)) {
        // The page was asked about before the file was chosen; from here it is replaced,
        // also when opening fails.
        m_items->Clear();
        m_projectFile.clear();
        bool opened = false;
        try {
            opened = OpenProject(projectContext(), path);
        } catch (...) {
            projectReplaced();
            throw;
        }
        if (opened) {
            m_projectFile = QFileInfo(path).absoluteFilePath();
            QSettings settings;
            rememberProject(settings, m_projectFile);
        }
        projectReplaced();
    }
    scrollResize();
}

bool TformMain::btSalvarClick()
{
    return m_projectFile.isEmpty() ? btSalvarComoClick() : saveProjectTo(m_projectFile);
}

bool TformMain::btSalvarComoClick()
{
    FileDialogRequest request = saveProjectRequest();
    if (!m_projectFile.isEmpty())
        request.startFolder = m_projectFile;
    const QString path = m_dialogs.chooseFile(this, request);
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path) && !sameFile(path, m_projectFile) &&
        m_dialogs.message(this, overwriteQuestion(path), Buttons::YesNo) != Answer::Yes)
        return false;
    return saveProjectTo(path);
}

bool TformMain::saveProjectTo(const QString& path)
{
    if (!SaveProject(projectContext(), path))
        return false;
    m_projectFile = QFileInfo(path).absoluteFilePath();
    QSettings settings;
    rememberProject(settings, m_projectFile);
    m_history->stack().setClean();
    updateTitle();
    m_dialogs.notify(this, savedNotice(m_projectFile));
    return true;
}

} // namespace quadrela
