#include "form_Borda.h"

#include "catalogue/catalogue.h"
#include "codecs/picture.h"
#include "core/convert.h"
#include "core/dialogs.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/textfile.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/picturecommand.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>

namespace quadrela {

namespace {

const QString kBorderListMissing = QStringLiteral("Problema ao carregar a lista de bordas\n\r"
                                                  "O programa precisa ser reinstalado.");
const QRect kPreviewRect(0, 0, 160, 226);

QFont dialogFont(bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setBold(bold);
    return f;
}

} // namespace

TformBorda::TformBorda(AppState& state, TCampos& items, ModalDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      m_state(state), m_items(items), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Selecione a borda desejada..."));
    setFont(dialogFont());
    setFixedSize(345, 324);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    createControls();
    FormCreate();
}

void TformBorda::createControls()
{
    rgPosicao = new QGroupBox(QStringLiteral(" Posição "), this);
    rgPosicao->setGeometry(8, 8, 329, 41);
    auto* columns = new QHBoxLayout(rgPosicao);
    columns->setContentsMargins(8, 0, 8, 2);
    posicaoButtons = new QButtonGroup(rgPosicao);
    auto* frente = new QRadioButton(QStringLiteral("Frente"), rgPosicao);
    auto* interna = new QRadioButton(QStringLiteral("Interna"), rgPosicao);
    posicaoButtons->addButton(frente, Frente);
    posicaoButtons->addButton(interna, Interna);
    columns->addWidget(frente, 1);
    columns->addWidget(interna, 1);
    frente->setChecked(true);
    rgPosicao->setEnabled(false);

    listBorda = new QListWidget(this);
    listBorda->setGeometry(8, 56, 160, 226);
    listBorda->setSelectionMode(QAbstractItemView::SingleSelection);
    listBorda->setUniformItemSizes(true);

    imBorda = new TFocusImage(this);
    imBorda->setGeometry(176, 56, 160, 226);
    imBorda->setStretch(true);

    btCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btCancelar->setFont(dialogFont(true));
    btCancelar->setGeometry(184, 288, 75, 25);
    btCancelar->setAutoDefault(false);
    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setFont(dialogFont(true));
    btOK->setGeometry(264, 288, 75, 25);
    btOK->setAutoDefault(false);

    connect(listBorda, &QListWidget::itemSelectionChanged, this, &TformBorda::listBordaClick);
    // OK can fail; it runs from the event loop rather than from inside the button's own
    // event handling, so the failure unwinds only through our code on its way to the
    // application's error report.
    connect(btOK, &QPushButton::clicked, this, &TformBorda::btOKClick, Qt::QueuedConnection);
    connect(btCancelar, &QPushButton::clicked, this, &TformBorda::btCancelarClick);
}

// The shipped list must be there; the user's own list is read only when the user has made
// one.
std::optional<QStringList> TformBorda::readBorderList(const QString& folder, bool required)
{
    const QString path = borderListPath(folder);
    if (!fileExists(path)) {
        if (required)
            m_dialogs.message(this, kBorderListMissing, Buttons::Ok);
        return std::nullopt;
    }
    try {
        return borderListLines(readCp1252File(path));
    } catch (const Error& e) {
        m_dialogs.message(this, e.message(), Buttons::Ok);
    }
    return std::nullopt;
}

void TformBorda::FormCreate()
{
    QStringList folders{m_state.shippedFolder()};
    if (m_state.shippedFolder() != m_state.dataFolder)
        folders.append(m_state.dataFolder);
    for (const QString& folder : folders) {
        m_previewFiles += borderPreviewFiles(borderPreviewFolder(folder));
        if (const auto lines = readBorderList(folder, folder == folders.first()))
            m_borders += bordersOf(folder, *lines);
    }

    const QSignalBlocker blocker(listBorda);
    for (const OfferedBorder& border : m_borders) {
        auto* item = new QListWidgetItem(border.name, listBorda);
        item->setSizeHint(QSize(0, 15));
    }

    imBorda->setTransparent(false);
    // The preview area is a white bitmap of its own size that every preview is drawn onto.
    imBorda->canvas();
    imBorda->canvasChanged();
}

void TformBorda::showEvent(QShowEvent* event)
{
    // A window restored from the task bar is not shown anew.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TformBorda::FormShow()
{
    {
        QAbstractButton* frente = posicaoButtons->button(Frente);
        const QSignalBlocker blocker(frente);
        frente->setChecked(true);
    }
    rgPosicao->setEnabled(m_state.pageLayout == FoldedCard);
    listBordaClick();
}

int TformBorda::borderIndex() const
{
    const QList<QListWidgetItem*> selected = listBorda->selectedItems();
    return selected.isEmpty() ? -1 : listBorda->row(selected.first());
}

void TformBorda::listBordaClick()
{
    try {
        const int index = borderIndex();
        if (index < 0 || index >= m_borders.size())
            throw listIndexError(index);
        const QString& path = m_borders.at(index).preview;
        if (!fileExists(path))
            return;
        TPicture picture;
        picture.LoadFromFile(path);
        // The bitmap is drawn over, never cleared: transparent parts of a preview show the
        // one before it.
        QPainter p(&imBorda->canvas());
        picture.stretchDraw(p, kPreviewRect);
        p.end();
        imBorda->canvasChanged();
    } catch (const Error&) {
        // No preview is no harm; the previous one stays.
    }
}

void TformBorda::btOKClick()
{
    hide();
    runStep(m_stepRunner, QStringLiteral("Borda"), [this] { addBorder(); });
}

void TformBorda::addBorder()
{
    const int index = borderIndex();
    if (index < 0 || index >= m_borders.size())
        throw listIndexError(index);

    const QString path = m_borders.at(index).picture;
    QString copy;
    if (fileExists(path)) {
        setWindowTitle(path);
        TPicture picture;
        picture.LoadFromFile(path);
        // Identical borders share one copy; a different picture of the same name keeps
        // its file and the border gets a name of its own.
        bool exists = false;
        copy = workingCopyPath(m_state.workingFolder, fileNamePart(path), picture.data(), &exists);
        if (!exists)
            picture.SaveToFile(copy);
    }

    m_items.Add(BorderItem, copy);
    TImg& item = m_items.Items(m_items.Count() - 1);
    TDesc attributes;
    attributes.FileName = copy;
    item.SetAttributes(attributes);

    // The inside half exists only on a folded card; the page may have changed since the
    // dialog was shown, and a full-size border must not be pushed half off the page.
    const bool inside = posicaoButtons->checkedId() == Interna && m_state.pageLayout == FoldedCard;
    item.SetLeft(inside ? div2(m_items.Page()->width()) : 0);
}

void TformBorda::btCancelarClick()
{
    hide();
}

} // namespace quadrela
