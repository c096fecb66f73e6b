#include "form_Novo.h"

#include "codecs/picture.h"
#include "core/dialogs.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/textfile.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quadrela {

namespace {

const QString kCatalogueMissing = QStringLiteral("Problema ao carregar a lista de modelos\n\r"
                                                 "O programa precisa ser reinstalado.");

QFont dialogFont(bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setBold(bold);
    return f;
}

QWidget* whitePanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
    return panel;
}

// A radio group: a captioned box with one button per caption, one under the other and spread
// evenly down the box (a layout of fixed-height items shares the spare room out equally
// above each one); the button group's ids are the places in the list.
QGroupBox* radioGroup(const QString& caption, const QStringList& items, QButtonGroup*& buttons,
                      QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(8, 4, 8, 4);
    column->setSpacing(0);
    buttons = new QButtonGroup(box);
    buttons->setExclusive(true);
    for (int place = 0; place < items.size(); ++place) {
        auto* button = new QRadioButton(items.at(place), box);
        buttons->addButton(button, place);
        column->addWidget(button);
    }
    return box;
}

void clearSelection(QButtonGroup* buttons)
{
    QAbstractButton* checked = buttons->checkedButton();
    if (!checked)
        return;
    const QSignalBlocker blocker(checked);
    // An exclusive group keeps one button checked; unchecking needs it open for a moment.
    buttons->setExclusive(false);
    checked->setChecked(false);
    buttons->setExclusive(true);
}

} // namespace

TformNovo::TformNovo(AppState& state, ModalDialogs& dialogs, MainWindowLink link, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      m_state(state), m_dialogs(dialogs), m_link(std::move(link))
{
    setWindowTitle(QStringLiteral("Selecione o tipo do projeto..."));
    setFont(dialogFont());
    setFixedSize(710, 468);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    createCategoryGroups();
    createPreviewPanel();
    FormCreate();
}

void TformNovo::createCategoryGroups()
{
    panelLeft = new QWidget(this);
    panelLeft->setGeometry(0, 0, 457, 468);

    rgCasa = radioGroup(QStringLiteral(" Casa "), categoryCaptions(false), casaButtons, panelLeft);
    rgCasa->setGeometry(8, 8, 217, 449);
    rgEmpresa =
        radioGroup(QStringLiteral(" Empresa "), categoryCaptions(true), empresaButtons, panelLeft);
    rgEmpresa->setGeometry(232, 8, 217, 449);
    rgEmpresa->setCursor(Qt::PointingHandCursor);

    // idClicked comes only from the user (mouse, keyboard), never from setChecked.
    connect(casaButtons, &QButtonGroup::idClicked, this, &TformNovo::rgCasaClick);
    connect(empresaButtons, &QButtonGroup::idClicked, this, &TformNovo::rgEmpresaClick);
}

void TformNovo::createPreviewPanel()
{
    panelPreview = new QWidget(this);
    panelPreview->setGeometry(457, 0, 710 - 457, 468);

    gbModelos = new QGroupBox(QStringLiteral(" Modelos "), panelPreview);
    gbModelos->setGeometry(8, 8, 159, 113);
    listModelos = new QListWidget(gbModelos);
    listModelos->setGeometry(9, 20, 137, 82);
    listModelos->setSelectionMode(QAbstractItemView::SingleSelection);
    listModelos->setUniformItemSizes(true);

    gbPreview = new QGroupBox(panelPreview);
    gbPreview->setGeometry(8, 120, 238, 337);
    panelP = whitePanel(gbPreview);
    panelP->setGeometry(9, 15, 220, 311);
    imPreview = new QLabel(panelP);
    imPreview->setGeometry(0, 0, 220, 311);
    imPreview->setAlignment(Qt::AlignCenter);

    btOK = new QPushButton(QStringLiteral("OK"), panelPreview);
    btOK->setFont(dialogFont(true));
    btOK->setGeometry(171, 16, 75, 25);
    btOK->setAutoDefault(false);
    btCancelar = new QPushButton(QStringLiteral("Cancelar"), panelPreview);
    btCancelar->setFont(dialogFont(true));
    btCancelar->setGeometry(171, 47, 75, 25);
    btCancelar->setAutoDefault(false);

    // The handlers that can fail run from the event loop rather than from inside the list's
    // or the button's own event handling, so a failure unwinds only through our code on its
    // way to the application's error report.
    connect(listModelos, &QListWidget::itemSelectionChanged, this, &TformNovo::listModelosClick,
            Qt::QueuedConnection);
    connect(btOK, &QPushButton::clicked, this, &TformNovo::btOKClick, Qt::QueuedConnection);
    connect(btCancelar, &QPushButton::clicked, this, &TformNovo::btCancelarClick);
}

void TformNovo::FormCreate()
{
    const QString path = dataFile(m_state, templateCataloguePath(QString()));
    if (fileExists(path)) {
        try {
            m_catalogue = readCp1252File(path);
        } catch (const Error& e) {
            // The dialog is still offered, with every category at its defaults.
            m_dialogs.message(this, e.message(), Buttons::Ok);
        }
    } else {
        m_dialogs.message(this, kCatalogueMissing, Buttons::Ok);
    }
    if (m_link.showAtStart)
        show();
}

void TformNovo::showEvent(QShowEvent* event)
{
    // A window restored from the task bar is not shown anew.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TformNovo::FormShow()
{
    if (casaButtons->checkedId() == 0 && m_key == quadrela::categoryKey(false, 0))
        return;
    {
        const QSignalBlocker blocker(casaButtons->button(0));
        casaButtons->button(0)->setChecked(true);
    }
    chooseCategory(false, 0);
}

void TformNovo::rgCasaClick(int place)
{
    chooseCategory(false, place);
}

void TformNovo::rgEmpresaClick(int place)
{
    chooseCategory(true, place);
}

void TformNovo::chooseCategory(bool business, int place)
{
    const QString key = quadrela::categoryKey(business, place);
    if (key == m_key)
        return;
    clearSelection(business ? casaButtons : empresaButtons);
    m_key = key;
    m_entry = FindCategoryEntry(key, m_catalogue);
    {
        const QSignalBlocker blocker(listModelos);
        listModelos->clear();
        for (const QString& caption : modelCaptions(m_entry.modelCount)) {
            auto* item = new QListWidgetItem(caption, listModelos);
            item->setSizeHint(QSize(0, 15));
        }
    }
    try {
        showPreview(0);
    } catch (const Error&) {
        // The preview of the previous category does not belong to this one.
        imPreview->clear();
    }
}

int TformNovo::modelNumber() const
{
    const QList<QListWidgetItem*> selected = listModelos->selectedItems();
    return selected.isEmpty() ? 0 : listModelos->row(selected.first()) + 1;
}

void TformNovo::listModelosClick()
{
    showPreview(modelNumber());
}

void TformNovo::showPreview(int model)
{
    const QString path =
        dataFile(m_state, templatePreviewPath(QString(), m_entry.filePrefix, model));
    if (!fileExists(path)) {
        imPreview->clear();
        return;
    }
    TPicture picture;
    picture.LoadFromFile(path);
    imPreview->setPixmap(QPixmap::fromImage(picture.toImage()));
}

void TformNovo::btOKClick()
{
    hide();
    if (m_link.clearPage && !m_link.clearPage())
        return;
    const ProjectContext context = m_link.projectContext();
    SetUpPage(context, m_entry.layout);
    m_state.pageLayout = m_entry.layout;
    const QString archive =
        dataFile(m_state, templateArchivePath(QString(), m_entry.filePrefix, modelNumber()));
    if (fileExists(archive))
        OpenProject(context, archive);
    if (m_link.scrollResize)
        m_link.scrollResize();
}

void TformNovo::btCancelarClick()
{
    hide();
}

} // namespace quadrela
