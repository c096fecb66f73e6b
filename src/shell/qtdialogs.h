// The real modal dialogs: Qt message boxes, Qt's own file dialogs and the print dialog.
#pragma once

#include "core/dialogs.h"

#include <QIdentityProxyModel>

namespace quadrela {

class QtDialogs : public ModalDialogs
{
public:
    Answer message(QWidget* owner, const QString& text, Buttons buttons) override;
    QString chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
    bool choosePictureExport(QWidget* owner, bool foldedCard, PictureExportChoice& choice) override;
    void notify(QWidget* owner, const QString& text) override;
};

// The file dialog's list as Qt's file model gives it, but with the modification date in the
// program's locale (the model itself writes it in the machine's) and folders called
// "Pasta" (a name Qt's own Portuguese texts lack).
class FileListInPortuguese : public QIdentityProxyModel
{
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override;
};

// Qt filter strings for a request: "Description (*.a *.b)".
QStringList qtNameFilters(const FileDialogRequest& request);

} // namespace quadrela
