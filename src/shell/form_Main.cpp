#include "form_Main.h"

#include "application.h"
#include "art/artwork.h"
#include "core/dialogs.h"
#include "core/paths.h"
#include "core/workfolder.h"
#include "glyphbutton.h"
#include "page/Imgfocus.h"
#include "page/handlers.h"
#include "page/history.h"
#include "page/items.h"
#include "page/pageview.h"
#include "page/picturecommand.h"
#include "page/screencursor.h"
#include "print/cardstock.h"
#include "print/exportimage.h"
#include "print/form_Visualizar.h"
#include "print/paper.h"
#include "print/mergecommand.h"
#include "print/printcommand.h"
#include "print/printeroffsets.h"
#include "storage/recovery.h"
#include "wheelhook.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QVBoxLayout>

namespace quadrela {

namespace {

const QColor kGrey(128, 128, 128);

QWidget* makePanel(QWidget* parent, const QColor& colour)
{
    auto* panel = new QWidget(parent);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
    return panel;
}

// The page's scroll box. QScrollArea measures its font to bound its size hint, which loads
// a font engine that nothing in the box needs: it shows no text. The window's layout gives
// the box all the room the panels leave, so the hint is only a hint: the page, unbounded.
class PageScrollBox : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        const QSize page = widget() ? widget()->size() : QSize(0, 0);
        return page + QSize(frame, frame);
    }
};

} // namespace

TformMain::TformMain(AppState& state, ModalDialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs)
{
    setWindowTitle(kAppTitle);
    setWindowIcon(appIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setMinimumSize(640, 480);
    setGeometry(219, 119, 850, 706);

    createPanels();
    createButtons();
    createPage();
    FormCreate();
    createEditing();
    createZoom();
    createProjectMenus();
}

TformMain::~TformMain()
{
    // Items go before the page that parents their controls; the printer goes with the
    // window, so nothing may ask it for its page size afterwards.
    m_items.reset();
    m_state.printerPageSize = nullptr;
}

void TformMain::createPanels()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    panelTop = makePanel(this, Qt::white);
    panelTop->setFixedHeight(97);
    imLogo = new QLabel(panelTop);
    imLogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // At the screen's pixel density: the 2x pictures keep high-density screens sharp.
    const qreal ratio = devicePixelRatioF();
    imLogo->setPixmap(artPixmap(QStringLiteral("banner"), QSize(640, 100), ratio));
    imLogoEdt = new TFocusImage(panelTop);
    imLogoEdt->setGeometry(692, 0, 83, 96);
    imLogoEdt->setStretch(true);
    imLogoEdt->setTransparent(true);
    imLogoEdt->setImage(artPixmap(QStringLiteral("logo"), QSize(83, 96)).toImage());
    panelTop->installEventFilter(this);
    outer->addWidget(panelTop);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    panelLeft = makePanel(this, palette().color(QPalette::Button));
    panelLeft->setFixedWidth(113);
    middle->addWidget(panelLeft);

    scroll = new PageScrollBox(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    scroll->setFocusPolicy(Qt::StrongFocus);
    scroll->setMouseTracking(true);
    QPalette grey = scroll->palette();
    grey.setColor(QPalette::Window, kGrey);
    scroll->setPalette(grey);
    scroll->setBackgroundRole(QPalette::Window);
    scroll->installEventFilter(this);
    scroll->viewport()->installEventFilter(this);
    scroll->viewport()->setMouseTracking(true);
    middle->addWidget(scroll, 1);
    outer->addLayout(middle, 1);

    panelBottom = makePanel(this, palette().color(QPalette::Button));
    panelBottom->setFixedHeight(41);
    panelBottom->installEventFilter(this);
    outer->addWidget(panelBottom);
}

void TformMain::createButtons()
{
    struct Spec
    {
        GlyphButton** button;
        const char* caption;
        const char* glyph;
    };
    const Spec left[] = {
        {&btnNovo, "Novo", "novo"},       {&btnAbrir, "Abrir", "abrir"},
        {&btnSalvar, "Salvar", "salvar"}, {&btnTexto, "Texto", "texto"},
        {&btnImagem, "Imagem", "imagem"}, {&btnBorda, "Borda", "borda"},
        {&btnImprimir, "Imprimir", "imprimir"}, {&btnVisualizar, "Visualizar", "visualizar"},
    };
    const qreal ratio = devicePixelRatioF();
    int top = 8;
    for (const Spec& s : left) {
        *s.button = new GlyphButton(QString::fromUtf8(s.caption),
                                    artPixmap(QString::fromLatin1(s.glyph), QSize(32, 32), ratio),
                                    panelLeft);
        (*s.button)->setGeometry(4, top, 105, 41);
        top += 44;
    }

    btnCreditos = new GlyphButton(QStringLiteral("Créditos"),
                                  artPixmap(QStringLiteral("creditos"), QSize(27, 27), ratio),
                                  panelBottom);
    btnCreditos->setGeometry(0, 5, 105, 33);
    btnSair = new GlyphButton(QStringLiteral("Sair"),
                              artPixmap(QStringLiteral("sair"), QSize(27, 27), ratio), panelBottom);
    btnSair->setGeometry(0, 5, 105, 33);
    connect(btnSair, &QPushButton::clicked, this, &QWidget::close);
    connect(btnCreditos, &QPushButton::clicked, this, &TformMain::creditsRequested);
}

void TformMain::createPage()
{
    scrollContent = new QWidget;
    scrollContent->setPalette(scroll->palette());
    scrollContent->setAutoFillBackground(true);
    scrollContent->setMouseTracking(true);
    scrollContent->installEventFilter(this);
    scrollContent->resize(1, 1);
    scroll->setWidget(scrollContent);

    panelDraw = makePanel(nullptr, Qt::white);
    panelDraw->resize(496, 702);
    panelDraw->setMouseTracking(true);
    panelDraw->installEventFilter(this);
    pageView = new PageView(panelDraw, scrollContent);
    pageView->move(112, 48);
    pageView->installEventFilter(this);

    imFundo = new TFocusImage(panelDraw);
    imFundo->setGeometry(1, 1, 494, 700);
    imFundo->setTransparent(true);
    // A press on the page where no item lies leaves nothing selected.
    connect(imFundo, &TFocusImage::mousePressed, this, [this] { selectItem(nullptr); });

    panelCalco = makePanel(scrollContent, kGrey);
    // A fitted page reaches into the space kept below it.
    panelCalco->lower();

    Im1 = new TFocusImage(scrollContent);
    Im1->setGeometry(12, 232, 81, 78);
    Im1->setStretch(true);
    Im1->setTransparent(true);
    Im1->hide();

    PopupMenu = new QMenu(this);
}

void TformMain::FormCreate()
{
    // The printer is made when it is first needed (the first picture item or "Imprimir"):
    // loading the print system is the slowest part of starting otherwise.
    m_state.printerPageSize = [this] {
        QPrinter& p = printer();
        return p.pageLayout().paintRectPixels(p.resolution()).size();
    };

    PageContext context;
    context.state = &m_state;
    context.page = panelDraw;
    context.background = imFundo;
    context.itemMenu = PopupMenu;
    context.wire = [this](TImg& item) { wireItem(item); };
    context.renderFailed = [this](const QString&) {
        m_dialogs.message(this, QStringLiteral("Selecione o objeto a ser modificado"), Buttons::Ok);
    };
    m_items = std::make_unique<TCampos>(std::move(context));
    m_handlers = new ItemHandlers(*m_items, m_state, panelDraw, PopupMenu, this);
    connect(btnImagem, &QPushButton::clicked, this, &TformMain::btImagemClick);
    connect(btnNovo, &QPushButton::clicked, this, &TformMain::btNovoClick);
    connect(btnAbrir, &QPushButton::clicked, this, &TformMain::btAbrirClick);
    connect(btnSalvar, &QPushButton::clicked, this, &TformMain::btSalvarClick);
    connect(btnTexto, &QPushButton::clicked, this, &TformMain::textDialogRequested);
    connect(btnBorda, &QPushButton::clicked, this, &TformMain::borderDialogRequested);
    connect(btnImprimir, &QPushButton::clicked, this, &TformMain::printRequested);
    connect(this, &TformMain::printRequested, this, &TformMain::printWithOffset);
    connect(btnVisualizar, &QPushButton::clicked, this, &TformMain::btVisualizarClick);
    auto* previewKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    connect(previewKey, &QShortcut::activated, this, &TformMain::btVisualizarClick);
    auto* exportKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this);
    connect(exportKey, &QShortcut::activated, this, &TformMain::exportPicture);

    wheelHook = new WheelHook(this, scroll);
    qApp->installEventFilter(wheelHook);

    QDir().mkdir(m_state.dataFolder + QStringLiteral("project"));
    updateScrollExtent();
}

void TformMain::wireItem(TImg& item)
{
    m_handlers->wire(item);
    // After the handlers, which change the selection.
    connect(item.Image(), &TFocusImage::mousePressed, this, &TformMain::refreshSelectionFrame);
    connect(item.Image(), &TFocusImage::clicked, this, &TformMain::refreshSelectionFrame);
}

void TformMain::btImagemClick()
{
    const QString chosen = m_dialogs.chooseFile(this, pictureDialogRequest(m_state));
    if (chosen.isEmpty())
        return;
    int added = -1;
    m_history->record(QStringLiteral("Imagem"),
                      [&] { added = addPictureItem(*m_items, m_state, chosen); });
    if (added >= 0)
        selectItem(m_items->Items(added).Image());
}

void TformMain::selectItem(TFocusImage* control)
{
    m_handlers->setSelection(control);
    refreshSelectionFrame();
}

namespace {

// What the user keeps for each printer: its offset and the card stock it is loaded with.
void usePrinterSettings(PrintCommandContext& ctx, const CardSheet& chosen)
{
    ctx.offsetFor = [](const QString& printerName) {
        QSettings settings;
        return loadPrinterOffset(settings, printerName);
    };
    ctx.cardSheetFor = [chosen](const QString& printerName) {
        QSettings settings;
        CardSheet cards = chosen;
        cards.stock = loadPrinterCardStock(settings, printerName);
        return cards;
    };
}

} // namespace

void TformMain::printWithOffset()
{
    PrintCommandContext ctx{this, m_dialogs, printer(), m_state, *m_items, panelDraw};
    usePrinterSettings(ctx, CardSheet());
    btImprimirClick(ctx);
}

void TformMain::btVisualizarClick()
{
    TformVisualizar preview(
        PreviewContext{m_dialogs, printer(),
                       [this] { return printJobFor(m_state, *m_items, panelDraw); },
                       [this](const CardSheet& cards) {
                           PrintCommandContext ctx{this, m_dialogs, printer(), m_state, *m_items,
                                                   panelDraw};
                           usePrinterSettings(ctx, cards);
                           btImprimirClick(ctx);
                       },
                       [this](MergedSheets& sheets) {
                           PrintCommandContext ctx{this, m_dialogs, printer(), m_state, *m_items,
                                                   panelDraw};
                           usePrinterSettings(ctx, sheets.cardSheet());
                           printMergedCommand(ctx, sheets);
                       }},
        this);
    preview.exec();
}

void TformMain::exportPicture()
{
    exportPictureCommand(this, m_dialogs, printJobFor(m_state, *m_items, panelDraw));
}

QPrinter& TformMain::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setResolution(600);
    }
    // Until a printer is chosen the paper is the machine's, or Letter for business cards;
    // a paper picked in the preview stays while the layout does.
    if (m_printer->printerName().isEmpty() && m_paperLayout != m_state.pageLayout) {
        m_printer->setPageSize(QPageSize(defaultPaper(m_state.pageLayout, machinePaper())));
        m_paperLayout = m_state.pageLayout;
    }
    return *m_printer;
}

ProjectContext TformMain::projectContext()
{
    return ProjectContext{m_state, *m_items, panelDraw, imFundo, m_dialogs, this};
}

void TformMain::btNovoClick()
{
    // The page stays until a new project is chosen: cancelling the dialog keeps it, with
    // its history.
    if (!offerToSave())
        return;
    m_pageOffered = true;
    emit newProjectDialogRequested();
}

bool TformMain::clearPageForNewProject()
{
    if (!m_pageOffered && !offerToSave())
        return false;
    m_pageOffered = false;
    m_items->Clear();
    // A template is not the project's file: its first save asks where.
    m_projectFile.clear();
    projectReplaced();
    EmptyWorkingFolder(m_state.workingFolder);
    return true;
}

void TformMain::scrollResize()
{
    if (m_fitted) {
        fitPage();
        return;
    }
    int left = scroll->width() / 2 - pageView->width() / 2;
    int top = m_state.pageLayout == FullPage ? 49 : scroll->height() / 2 - pageView->height() / 2;
    if (pageView->zoom() > 1.0) {
        // Zoomed in, the page outgrows the box: it starts a margin in, so scrolling
        // reaches every part of it.
        constexpr int kMargin = 8;
        left = std::max(kMargin, left);
        top = std::max(kMargin, top);
    }
    pageView->move(left, top);
    updateScrollExtent();
}

void TformMain::updateScrollExtent()
{
    const QSize viewport = scroll->viewport()->size();
    const QRect page = pageView->geometry();
    const int width = std::max(viewport.width(), page.right() + 1 + page.left());
    // Fitted, the page fills the box without the space kept below it.
    const int below = m_fitted ? page.top() : panelCalco->height();
    const int height = std::max(viewport.height(), page.bottom() + 1 + below);
    scrollContent->resize(width, height);
    panelCalco->setGeometry(0, height - 48, width, 48);
}

void TformMain::panelTopResize()
{
    imLogo->setGeometry(panelTop->rect());
    imLogoEdt->move(panelTop->width() - imLogoEdt->width() - 5, imLogoEdt->y());
}

void TformMain::panelBottomResize()
{
    btnSair->move(panelBottom->width() - btnSair->width() - 15, btnSair->y());
    btnCreditos->move(btnSair->x() - btnCreditos->width() - 4, btnCreditos->y());
    if (btnRefazer && btnDesfazer) {
        btnRefazer->move(btnCreditos->x() - btnRefazer->width() - 4, btnRefazer->y());
        btnDesfazer->move(btnRefazer->x() - btnDesfazer->width() - 4, btnDesfazer->y());
        if (cbZoom)
            cbZoom->move(btnDesfazer->x() - cbZoom->width() - 8, cbZoom->y());
    }
}

bool TformMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove &&
        (watched == panelDraw || watched == scroll->viewport() || watched == scrollContent)) {
        // Over the page or the scroll box, outside any item, the pointer is the default.
        resetScreenCursor();
    }
    if (event->type() == QEvent::MouseButtonPress && watched == panelDraw)
        selectItem(nullptr);
    if (event->type() == QEvent::Resize) {
        if (watched == scroll)
            scrollResize();
        else if (watched == panelTop)
            panelTopResize();
        else if (watched == panelBottom)
            panelBottomResize();
        else if (watched == pageView || watched == scroll->viewport())
            updateScrollExtent();
    }
    return QWidget::eventFilter(watched, event);
}

void TformMain::closeEvent(QCloseEvent* event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

bool TformMain::FormClose()
{
    if (m_closed)
        return true;
    // Cancelling, or a save that does not happen, keeps the program open with its page.
    if (!offerToSave())
        return false;
    m_items->Clear();
    m_closed = true;
    m_recovery->stop();
    EmptyWorkingFolder(m_state.workingFolder);
    return true;
}

} // namespace quadrela
