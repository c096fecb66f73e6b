// The modal dialogs a test cannot click through: message boxes, file dialogs and the
// print dialog. The program uses the Qt implementation; tests use a scripted one.
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

class QWidget;
class QPrinter;

namespace quadrela {

enum class Answer { Ok, Yes, No, Cancel };

enum class Buttons { Ok, YesNo, YesNoCancel };

struct FileDialogRequest
{
    // SaveDocument asks before overwriting; SaveProject does not.
    enum Kind { OpenPicture, OpenProject, SaveProject, SaveDocument };
    Kind kind = OpenProject;
    QString title;
    // Each entry: the name shown to the user and its patterns, e.g.
    // {"Arquivos Quadrela", {"*.vimel"}}.
    QList<QPair<QString, QStringList>> filters;
    QString startFolder;
    // Folders offered beside the start folder, each with the name shown for it.
    QList<QPair<QString, QString>> places;
    QString defaultSuffix;  // without the dot; empty for none
};

// The choices of "Exportar imagem".
struct PictureExportChoice
{
    int dpi = 300;
    bool frontOnly = false; // a folded card's front instead of its four-panel sheet
};

class ModalDialogs
{
public:
    virtual ~ModalDialogs() = default;

    // Captioned "Quadrela", no icon. Returns the button pressed (Ok for an Ok box;
    // closing a box counts as its cancel: No for Yes/No, Cancel for Yes/No/Cancel).
    virtual Answer message(QWidget* owner, const QString& text, Buttons buttons) = 0;

    // Returns the chosen path, or an empty string when the user cancels.
    virtual QString chooseFile(QWidget* owner, const FileDialogRequest& request) = 0;

    // Lets the user configure the printer; false when the user cancels.
    virtual bool choosePrinter(QWidget* owner, QPrinter& printer) = 0;

    // Lets the user pick the resolution and, for a folded card, whether only its front is
    // wanted; false when the user cancels. Where nobody can be asked nothing is exported.
    virtual bool choosePictureExport(QWidget* owner, bool foldedCard, PictureExportChoice& choice)
    {
        Q_UNUSED(owner);
        Q_UNUSED(foldedCard);
        Q_UNUSED(choice);
        return false;
    }

    // A brief notice near the bottom of the owner's window that goes away by itself,
    // without a click. Programs without a screen have nothing to show it on.
    virtual void notify(QWidget* owner, const QString& text)
    {
        Q_UNUSED(owner);
        Q_UNUSED(text);
    }
};

// What a file written on request says: its name and the folder it went to.
inline QString savedNotice(const QString& path)
{
    return QStringLiteral("Arquivo salvo: %1").arg(QDir::toNativeSeparators(path));
}

} // namespace quadrela
