// The keyboard of the main window: the keys that act on the page and the project.
#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

namespace quadrela {

enum class PageKey
{
    None,
    Delete,
    Nudge,
    ClearSelection,
    Copy,
    Undo,
    Redo,
    New,
    Open,
    Save,
    SaveAs
};

struct PageKeyCommand
{
    PageKey key = PageKey::None;
    QPoint nudge; // for PageKey::Nudge: page pixels to move by

    bool operator==(const PageKeyCommand&) const = default;
};

// What a key with these modifiers does (the keypad's own modifier does not count).
PageKeyCommand pageKeyCommand(int key, Qt::KeyboardModifiers modifiers);

// Hands the window's keys to `act` before any of its widgets sees them, as long as no
// dialog, message box or menu has the keyboard. A key `act` declines (returns false)
// goes on as usual, so the arrows still scroll the page when nothing is selected.
class PageKeys : public QObject
{
    Q_OBJECT
public:
    PageKeys(QWidget* window, std::function<bool(const PageKeyCommand&)> act,
             QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<bool(const PageKeyCommand&)> m_act;
};

} // namespace quadrela
