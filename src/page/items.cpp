#include "items.h"

#include "Imgfocus.h"
#include "codecs/picture.h"
#include "codecs/png.h"
#include "core/convert.h"
#include "core/errors.h"
#include "core/limits.h"
#include "core/paths.h"
#include "imaging/textrender.h"
#include "keptpicture.h"

#include <QMenu>
#include <cmath>

namespace quadrela {

namespace {

const QString kMissingPictureNotice = QStringLiteral("Imagem não encontrada");

int capWidgetSize(qint64 v)
{
    return int(std::clamp<qint64>(v, 0, kMaxWidgetSize));
}

int capCoordinate(qint64 v)
{
    return int(std::clamp<qint64>(v, -kMaxWidgetSize, kMaxWidgetSize));
}

// Renders a text into the scratch picture. A failure is told to the user unless the caller
// reports it, leaves no scratch picture, and gives its message.
QString renderToScratch(const PageContext& context, const TextAttributes& attributes,
                        const QString& text, bool report = true)
{
    try {
        RenderTextPicture(attributes, text, context.state->tempPicturePath());
        return {};
    } catch (const Error& e) {
        if (report && context.renderFailed)
            context.renderFailed(e.message());
        return e.message();
    }
}

// What a text item shows when its text cannot be rendered: drawn in memory, so it
// needs neither the scratch picture nor a writable data folder.
TPNGObject textStandIn()
{
    TextAttributes notice;
    notice.FontName = QStringLiteral("Arial");
    notice.FontSize = 16;
    notice.Color = 0x808080;
    QImage bitmap;
    try {
        bitmap = RenderTextBitmap(notice, QStringLiteral("Texto não mostrado"));
    } catch (const Error&) {
        bitmap = QImage(120, 24, QImage::Format_RGB32);
        bitmap.fill(Qt::lightGray);
    }
    TPNGObject png = TPNGObject::fromBitmap(bitmap);
    png.setTransparentColor(qRgb(255, 255, 255));
    return png;
}

QString prefetchKey(const QString& path, bool keyed, QSize shown)
{
    return QStringLiteral("%1|%2|%3x%4")
        .arg(fileIdentity(path))
        .arg(keyed ? 1 : 0)
        .arg(shown.width())
        .arg(shown.height());
}

} // namespace

TextAttributes textAttributesOf(const TDesc& a)
{
    return TextAttributes{a.FontName, a.FontSize, a.Color, a.Alignment, a.Style};
}

TDesc textItemAttributes(const QString& text, const TextAttributes& t)
{
    return TDesc{QString(), text, t.FontName, t.Color, t.Alignment, t.Style, t.FontSize};
}

QString workingCopyName(quint8 kind, const TDesc& attributes)
{
    if (kind != BorderItem && kind != PictureItem)
        return QString();
    return fileNamePart(attributes.FileName);
}

QString itemIdentifier(const QString& place, int listCount)
{
    return place.left(3) + QString::number(listCount);
}

QSize scaledPictureSize(QSize picture, QSize printerPage, QSize page)
{
    if (printerPage.width() <= 0 || printerPage.height() <= 0)
        throw Error(QStringLiteral("O tamanho da página da impressora não pôde ser lido."));
    const double w = picture.width();
    const double h = picture.height();
    double width = 2.0 * std::nearbyint(w * w / printerPage.width());
    double height = 2.0 * std::nearbyint(h * h / printerPage.height());
    if (width > page.width() || height > page.height()) {
        const double f = std::min(page.width() / width, page.height() / height);
        width = std::nearbyint(width * f);
        height = std::nearbyint(height * f);
    }
    return QSize(capWidgetSize(qint64(width)), capWidgetSize(qint64(height)));
}

QRect controlGeometryFor(const ItemGeometry& g)
{
    return QRect(capCoordinate(g.Left), capCoordinate(g.Top), capWidgetSize(g.Width),
                 capWidgetSize(g.Height));
}

TextAttributes missingNoticeText(TextAttributes current)
{
    current.FontName = QStringLiteral("Arial");
    current.FontSize = 80;
    return current;
}

TImg::TImg(const PageContext& context, quint8 kind, const QString& place, int listCount,
           AddMode mode, SharedBitmaps* shared, QSize shown)
    : m_kind(kind)
{
    AppState& state = *context.state;
    QWidget* page = context.page;
    auto control = std::make_unique<TFocusImage>(page);
    control->setHint(itemIdentifier(place, listCount));
    control->setTransparent(true);
    control->setPopupMenu(context.itemMenu);
    control->setStretch(true);

    QString source = place;
    const bool notice = (kind == BorderItem || kind == PictureItem) &&
                        (mode == ShowMissingNotice || !fileExists(place));
    const TextAttributes noticeText = missingNoticeText(state.text);
    QString noticeKey;
    if (notice) {
        noticeKey = QStringLiteral("notice|%1|%2|%3|%4|%5")
                        .arg(noticeText.FontName)
                        .arg(noticeText.FontSize)
                        .arg(noticeText.Color)
                        .arg(noticeText.Alignment)
                        .arg(noticeText.Style);
        source = state.tempPicturePath();
    }

    const QSize pageSize = page->size();
    const bool keyed = kind == PictureItem;
    const qreal dpr = control->devicePixelRatioF();
    // The size the control gets for a picture of the given pixel size.
    std::function<QSize(QSize)> defaultSize;
    if (kind == BorderItem) {
        const QSize border = state.pageLayout == FoldedCard
                                 ? QSize(pageSize.width() / 2, pageSize.height())
                                 : pageSize;
        defaultSize = [border](QSize) { return border; };
    } else if (kind == PictureItem) {
        defaultSize = [&state, pageSize](QSize picture) {
            if (!state.printerPageSize)
                throw Error(QStringLiteral("Nenhuma impressora está configurada."));
            return scaledPictureSize(picture, state.printerPageSize(), pageSize);
        };
    }
    // The notice is small and kept whole; a picture at the size it will be shown.
    const auto shownFor = [&](QSize picture) {
        if (notice)
            return picture;
        return shown.isValid() ? shown : defaultSize(picture);
    };
    const auto fits = [&](const KeptPicture& kept) {
        return notice || showsSharply(kept.bitmap.size(), kept.fullSize,
                                      neededPixels(shownFor(kept.fullSize), dpr));
    };
    const auto load = [&] {
        if (notice)
            renderToScratch(context, noticeText, kMissingPictureNotice);
        else if (shared && shown.isValid())
            if (auto read = shared->takePrefetched(prefetchKey(source, keyed, shown)))
                return *read;
        return loadKeptPicture(source, shownFor, dpr, keyed);
    };
    const auto obtain = [&] {
        const QString identity = notice ? noticeKey : fileIdentity(source);
        if (!shared || identity.isEmpty())
            return load();
        return shared->obtain(
            identity + (keyed ? QStringLiteral("|keyed") : QStringLiteral("|whole")), fits, load);
    };

    switch (kind) {
    case BorderItem: {
        control->setTransparent(false);
        const KeptPicture kept = obtain();
        control->setKeptPicture(kept, notice ? QString() : source);
        control->resize(defaultSize(kept.fullSize));
        control->move(0, 0);
        break;
    }
    case PictureItem: {
        control->setTransparent(true);
        const KeptPicture kept = obtain();
        control->setKeptPicture(kept, notice ? QString() : source);
        const QSize size = defaultSize(kept.fullSize);
        control->resize(size);
        control->move(pageSize.width() / 2 - size.width() / 2,
                      pageSize.height() / 2 - size.height() / 2);
        break;
    }
    case TextItem: {
        // A text the renderer refuses (a hand-made size far too large) read from a project
        // stays an item with a stand-in picture, so it can still be selected, edited,
        // deleted and saved. A new one is refused, as the user was just told.
        const bool callerReports = mode == CallerReports;
        m_standInReason = renderToScratch(context, state.text, place, !callerReports);
        TPNGObject png;
        if (m_standInReason.isEmpty()) {
            try {
                png.LoadFromFile(state.tempPicturePath());
            } catch (const Error& e) {
                m_standInReason = e.message();
            }
        }
        if (!m_standInReason.isEmpty() && !callerReports)
            throw Error(m_standInReason);
        if (!m_standInReason.isEmpty())
            png = textStandIn();
        control->setTransparent(true);
        control->setPng(png);
        if (m_standInReason.isEmpty()) {
            // The text as the item shows it now (the text dialog changes both together).
            control->setSharperRenderer([this](double scale) {
                return RenderTextBitmap(textAttributesOf(m_attributes), m_attributes.Text, scale);
            });
        }
        control->resize(capWidgetSize(png.width()), capWidgetSize(png.height()));
        control->move(pageSize.width() / 2 - control->width() / 2,
                      pageSize.height() / 2 - control->height() / 2);
        break;
    }
    default:
        break;
    }

    m_missingNotice = notice;
    m_image = control.release();
    if (kind <= TextItem && context.wire)
        context.wire(*this);
    if (kind == BorderItem)
        m_image->lower();
    if (context.background)
        context.background->lower();
    m_image->show();
}

TImg::~TImg()
{
    delete m_image.data();
}

void TImg::PlaceAsRecorded(const ItemGeometry& record)
{
    ItemGeometry kept = record;
    QRect place = controlGeometryFor(record);
    if (m_kind == TextItem) {
        place.setSize(m_image->size());
        if (m_standInReason.isEmpty()) {
            kept.Width = place.width();
            kept.Height = place.height();
        }
    }
    m_image->setGeometry(place);
    m_recorded = kept;
    m_placedAt = m_image->geometry();
}

ItemGeometry TImg::SavedGeometry() const
{
    const QRect g = m_image->geometry();
    if (m_recorded && g == m_placedAt)
        return *m_recorded;
    return {g.x(), g.y(), g.width(), g.height()};
}

void TImg::SetLeft(int x)
{
    m_image->move(capCoordinate(x), m_image->y());
}

void TImg::SetTop(int y)
{
    m_image->move(m_image->x(), capCoordinate(y));
}

void TImg::SetWidth(int w)
{
    m_image->resize(capWidgetSize(w), m_image->height());
}

void TImg::SetHeight(int h)
{
    m_image->resize(m_image->width(), capWidgetSize(h));
}

int TImg::GetWidth() const
{
    return m_image->width();
}

int TImg::GetHeight() const
{
    return m_image->height();
}

TCampos::TCampos(PageContext context) : m_context(std::move(context)) {}

TCampos::~TCampos()
{
    Clear();
}

int TCampos::Add(quint8 kind, const QString& place, AddMode mode, QSize shown)
{
    const int index = Count();
    m_items.push_back(std::make_unique<TImg>(m_context, kind, place, index, mode, &m_shared, shown));
    if (m_items.back()->ShowsMissingNotice())
        m_context.state->text = missingNoticeText(m_context.state->text);
    return index;
}

void TCampos::Prefetch(quint8 kind, const QString& place, QSize shown)
{
    if ((kind != BorderItem && kind != PictureItem) || !shown.isValid() || !fileExists(place))
        return;
    const bool keyed = kind == PictureItem;
    const qreal dpr = m_context.page ? m_context.page->devicePixelRatioF() : 1.0;
    m_shared.prefetch(prefetchKey(place, keyed, shown), [place, keyed, shown, dpr] {
        return loadKeptPicture(
            place, [shown](QSize) { return shown; }, dpr, keyed);
    });
}

TImg& TCampos::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw listIndexError(index);
    return *m_items[size_t(index)];
}

void TCampos::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw listIndexError(index);
    m_items.erase(m_items.begin() + index);
    m_shared.prune();
}

void TCampos::Move(int from, int to)
{
    if (from < 0 || from >= Count())
        throw listIndexError(from);
    if (to < 0 || to >= Count())
        throw listIndexError(to);
    auto item = std::move(m_items[size_t(from)]);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, std::move(item));
}

void TCampos::Clear()
{
    for (auto& item : m_items)
        item.reset();
    m_items.clear();
    m_shared.dropPrefetched();
    m_shared.prune();
}

int TCampos::IndexOf(const TFocusImage* control) const
{
    if (!control)
        return -1;
    for (int i = 0; i < Count(); ++i) {
        if (m_items[size_t(i)]->Image() == control)
            return i;
    }
    return -1;
}

TImg* TCampos::ItemOf(const TFocusImage* control) const
{
    const int i = IndexOf(control);
    return i < 0 ? nullptr : m_items[size_t(i)].get();
}

} // namespace quadrela
