// The real modal dialogs: Qt message boxes, Qt's own file dialogs and the print dialog.
#pragma once

#include "core/dialogs.h"

namespace quadrela {

class QtDialogs : public ModalDialogs
{
public:
    Answer message(QWidget* owner, const QString& text, Buttons buttons) override;
    QString chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
    void notify(QWidget* owner, const QString& text) override;
};

// Qt filter strings for a request: "Description (*.a *.b)".
QStringList qtNameFilters(const FileDialogRequest& request);

} // namespace quadrela
