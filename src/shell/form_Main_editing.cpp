// The main window's editing aids: undo and redo, the keyboard, the frame of the selection,
// and the records that keep the page safe from a crash.
#include "form_Main.h"

#include "art/artwork.h"
#include "glyphbutton.h"
#include "page/handlers.h"
#include "page/history.h"
#include "page/items.h"
#include "page/pagekeys.h"
#include "page/selectionframe.h"
#include "storage/recovery.h"

#include <QUndoStack>

namespace quadrela {

void TformMain::createEditing()
{
    m_history = new PageHistory(*m_items, m_state, this);
    m_handlers->setStepRunner(m_history->runner());
    m_handlers->setCopyDiscarder(
        [this](const QString& path) { m_history->discardWorkingCopy(path); });
    QUndoStack& stack = m_history->stack();

    const auto makeButton = [this](const QString& caption, const QString& glyph) {
        auto* button = new GlyphButton(caption, artPixmap(glyph, QSize(27, 27)), panelBottom);
        button->setGeometry(0, 5, 105, 33);
        button->setEnabled(false);
        return button;
    };
    btnDesfazer = makeButton(QStringLiteral("Desfazer"), QStringLiteral("desfazer"));
    btnRefazer = makeButton(QStringLiteral("Refazer"), QStringLiteral("refazer"));
    connect(btnDesfazer, &QPushButton::clicked, &stack, &QUndoStack::undo);
    connect(btnRefazer, &QPushButton::clicked, &stack, &QUndoStack::redo);
    connect(&stack, &QUndoStack::canUndoChanged, btnDesfazer, &QWidget::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, btnRefazer, &QWidget::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, btnDesfazer, [this](const QString& step) {
        btnDesfazer->setToolTip(step.isEmpty() ? QString()
                                               : QStringLiteral("Desfazer: %1").arg(step));
    });
    connect(&stack, &QUndoStack::redoTextChanged, btnRefazer, [this](const QString& step) {
        btnRefazer->setToolTip(step.isEmpty() ? QString()
                                              : QStringLiteral("Refazer: %1").arg(step));
    });
    panelBottomResize();

    selectionFrame = new SelectionFrame(panelDraw, pageView);
    new PageKeys(
        this, [this](const PageKeyCommand& command) { return pageKey(command); }, this);

    m_recovery = std::make_unique<RecoveryWriter>(
        m_state, *m_items, panelDraw,
        [this](const QString& message) { m_dialogs.message(this, message, Buttons::Ok); });
    connect(&stack, &QUndoStack::indexChanged, this, [this] {
        m_pageOffered = false;
        m_recovery->pageChanged();
        refreshSelectionFrame();
    });
}

void TformMain::projectReplaced()
{
    m_history->clear();
    updateTitle();
    refreshSelectionFrame();
    // Waits for a write under way, so none lands after the working folder is emptied.
    m_recovery->writeNow();
}

void TformMain::refreshSelectionFrame()
{
    const TImg* item = m_items->ItemOf(m_handlers->selection());
    selectionFrame->follow(item && item->Kind() != BorderItem ? item->Image() : nullptr);
}

bool TformMain::pageKey(const PageKeyCommand& command)
{
    TImg* selected = m_items->ItemOf(m_handlers->selection());
    switch (command.key) {
    case PageKey::Delete:
        if (!selected)
            return false;
        m_history->record(QStringLiteral("Excluir"), [this] { m_handlers->deleteSelected(); });
        refreshSelectionFrame();
        return true;
    case PageKey::Nudge: {
        if (!selected || selected->Kind() == BorderItem)
            return false;
        TFocusImage* control = selected->Image();
        const QPoint by = command.nudge;
        // A run of key presses on one item is one step.
        m_history->record(
            QStringLiteral("Mover"), [control, by] { control->move(control->pos() + by); },
            QStringLiteral("teclas:") + m_history->itemName(control));
        return true;
    }
    case PageKey::ClearSelection:
        // Escape during a drag cancels the drag and keeps the selection.
        if (m_handlers->cancelGesture())
            return true;
        if (!m_handlers->selection())
            return false;
        m_handlers->setSelection(nullptr);
        refreshSelectionFrame();
        return true;
    case PageKey::Copy:
        if (!selected)
            return false;
        m_handlers->copyToClipboard();
        return true;
    case PageKey::Undo:
        m_history->stack().undo();
        return true;
    case PageKey::Redo:
        m_history->stack().redo();
        return true;
    case PageKey::New:
        btNovoClick();
        return true;
    case PageKey::Open:
        btAbrirClick();
        return true;
    case PageKey::Save:
        btSalvarClick();
        return true;
    case PageKey::SaveAs:
        btSalvarComoClick();
        return true;
    case PageKey::None:
        break;
    }
    return false;
}

} // namespace quadrela
