#include "qtdialogs.h"

#include "application.h"
#include "print/dialogpaper.h"

#include <QChildEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFormLayout>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "codecs/picture.h"

namespace quadrela {

namespace {

// The preview beside the file list of the picture dialog.
void addPicturePreview(QFileDialog& dialog)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return;
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(180, 180);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    preview->setStyleSheet(QStringLiteral("background: white;"));
    grid->addWidget(preview, 1, grid->columnCount(), Qt::AlignTop);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        preview->clear();
        if (formatForExtension(QFileInfo(path).suffix()) == PictureFormat::None ||
            !QFileInfo(path).isFile())
            return;
        try {
            TPicture picture;
            picture.LoadFromFile(path);
            const QImage image = picture.toImage();
            preview->setPixmap(QPixmap::fromImage(
                image.scaled(preview->size() - QSize(8, 8), Qt::KeepAspectRatio,
                             Qt::SmoothTransformation)));
        } catch (...) {
            // A file that cannot be read simply shows no preview.
        }
    });
}

// One button per offered folder under the file list: the side panel would show two
// folders of the same name alike.
void addPlaces(QFileDialog& dialog, const QList<QPair<QString, QString>>& places)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid || places.isEmpty())
        return;
    auto* row = new QHBoxLayout;
    QList<QUrl> sidebar = dialog.sidebarUrls();
    for (const auto& [name, folder] : places) {
        auto* button = new QPushButton(name, &dialog);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, &dialog,
                         [&dialog, folder] { dialog.setDirectory(folder); });
        row->addWidget(button);
        sidebar.append(QUrl::fromLocalFile(folder));
    }
    row->addStretch();
    dialog.setSidebarUrls(sidebar);
    grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
}

// The print dialog builds its paper page only when it is first shown, and sets it to the
// printer's default paper. Each such page is made to show the paper asked for instead,
// and a paper the user picks there is remembered.
class PaperPageWatcher : public QObject
{
public:
    explicit PaperPageWatcher(QPageSize asked) : m_asked(std::move(asked)) {}

    std::optional<QPageSize> picked;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType())
                child->installEventFilter(this);
        } else if (event->type() == QEvent::Show) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow())
                setUpPaperLists(*widget);
        }
        return false;
    }

private:
    static bool listsPapers(const QComboBox& combo)
    {
        return combo.count() > 0 &&
               combo.itemData(0).metaType() == QMetaType::fromType<QPageSize>();
    }

    void setUpPaperLists(QWidget& page)
    {
        const auto lists = page.findChildren<QComboBox*>();
        for (QComboBox* combo : lists) {
            if (!listsPapers(*combo) || combo->property(kSetUp).toBool())
                continue;
            combo->setProperty(kSetUp, true);
            for (int i = 0; i < combo->count(); ++i) {
                if (combo->itemData(i).value<QPageSize>().isEquivalentTo(m_asked)) {
                    combo->setCurrentIndex(i);
                    break;
                }
            }
            connect(combo, &QComboBox::activated, this, [this, combo](int index) {
                const QPageSize size = combo->itemData(index).value<QPageSize>();
                picked = size.isValid() ? std::optional(size) : std::nullopt;
            });
        }
    }

    static constexpr const char* kSetUp = "quadrelaPaperSetUp";
    QPageSize m_asked;
};

} // namespace

QStringList qtNameFilters(const FileDialogRequest& request)
{
    QStringList filters;
    for (const auto& [description, patterns] : request.filters)
        filters.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(u' ')));
    return filters;
}

Answer QtDialogs::message(QWidget* owner, const QString& text, Buttons buttons)
{
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    if (buttons == Buttons::YesNo)
        standard = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == Buttons::YesNoCancel)
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, shown, standard, owner);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::Ok ? Answer::Ok
                                                                               : Answer::Cancel;
    }
}

QString QtDialogs::chooseFile(QWidget* owner, const FileDialogRequest& request)
{
    QFileDialog dialog(owner, request.title, request.startFolder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(qtNameFilters(request));
    if (request.kind == FileDialogRequest::SaveProject ||
        request.kind == FileDialogRequest::SaveDocument) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite,
                         request.kind == FileDialogRequest::SaveProject);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // The project dialog accepts a name that does not exist; opening then does nothing.
        dialog.setFileMode(request.kind == FileDialogRequest::OpenProject ? QFileDialog::AnyFile
                                                                          : QFileDialog::ExistingFile);
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.kind == FileDialogRequest::OpenPicture)
        addPicturePreview(dialog);
    addPlaces(dialog, request.places);
    dialog.setProxyModel(new FileListInPortuguese(&dialog));
    // Room for the file list's columns beside the places and the preview.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(860, 520)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void QtDialogs::notify(QWidget* owner, const QString& text)
{
    // Long enough to read a path; a tool-tip window takes no focus from what the user does.
    constexpr int kShownMs = 6000;
    QWidget* window = owner ? owner->window() : nullptr;
    auto* notice = new QLabel(text, window, Qt::ToolTip);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setAttribute(Qt::WA_ShowWithoutActivating);
    notice->setForegroundRole(QPalette::ToolTipText);
    notice->setBackgroundRole(QPalette::ToolTipBase);
    notice->setAutoFillBackground(true);
    notice->setFrameShape(QFrame::Box);
    notice->setMargin(6);
    notice->adjustSize();
    if (window)
        notice->move(window->mapToGlobal(QPoint(8, window->height() - notice->height() - 8)));
    notice->show();
    QTimer::singleShot(kShownMs, notice, &QWidget::close);
}

bool QtDialogs::choosePrinter(QWidget* owner, QPrinter& printer)
{
    const QPageSize asked = printer.pageLayout().pageSize();
    PaperPageWatcher watcher(asked);
    QPrintDialog dialog(&printer, owner);
    dialog.installEventFilter(&watcher);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QList<QPageSize> offered;
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty())
        offered = QPrinterInfo(printer).supportedPageSizes();
    printer.setPageSize(
        paperAfterDialog(asked, printer.pageLayout().pageSize(), watcher.picked, offered));
    return true;
}

bool QtDialogs::choosePictureExport(QWidget* owner, bool foldedCard, PictureExportChoice& choice)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("Exportar imagem"));
    auto* form = new QFormLayout(&dialog);
    auto* resolution = new QComboBox(&dialog);
    resolution->addItem(QStringLiteral("150 dpi (para mensagens)"), 150);
    resolution->addItem(QStringLiteral("300 dpi"), 300);
    resolution->addItem(QStringLiteral("600 dpi"), 600);
    resolution->setCurrentIndex(std::max(0, resolution->findData(choice.dpi)));
    form->addRow(QStringLiteral("Resolução:"), resolution);
    auto* whole = new QRadioButton(QStringLiteral("A folha inteira, com as quatro partes"), &dialog);
    auto* front = new QRadioButton(QStringLiteral("Só a frente do cartão"), &dialog);
    (choice.frontOnly ? front : whole)->setChecked(true);
    if (foldedCard) {
        form->addRow(whole);
        form->addRow(front);
    } else {
        whole->hide();
        front->hide();
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.dpi = resolution->currentData().toInt();
    choice.frontOnly = foldedCard && front->isChecked();
    return true;
}

QVariant FileListInPortuguese::data(const QModelIndex& index, int role) const
{
    enum Column { Type = 2, Modified = 3 }; // QFileSystemModel's columns
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files && role == Qt::DisplayRole) {
        const QModelIndex source = mapToSource(index);
        if (index.column() == Modified)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        if (index.column() == Type && files->isDir(source))
            return QStringLiteral("Pasta");
    }
    return QIdentityProxyModel::data(index, role);
}

} // namespace quadrela
