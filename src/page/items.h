// Placed items: border, picture and text items on the page, and the item list that owns
// them. An item's geometry is its control's geometry; there is no second copy.
#pragma once

#include "Imgfocus.h"
#include "core/state.h"
#include "keptpicture.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QWidget;

namespace quadrela {

class SharedBitmaps;
class TFocusImage;
class TImg;

// The item attributes.
struct TDesc
{
    QString FileName; // the item's picture file (border and picture items)
    QString Text;     // a text item's text
    QString FontName;
    ColorRef Color = 0;
    quint8 Alignment = 0;
    quint8 Style = 0;
    int FontSize = 0;

    bool operator==(const TDesc&) const = default;
};

// The text attributes a text item is rendered with on the page.
TextAttributes textAttributesOf(const TDesc& attributes);
// A text item's attributes: its text, rendered with attributes.
TDesc textItemAttributes(const QString& text, const TextAttributes& attributes);

// The name of the item's copy in the working folder, empty for an item without one. Items
// of the same name show one copy, which must stay while any of them is on the page.
QString workingCopyName(quint8 kind, const TDesc& attributes);

// An item's place and size as a record file holds them.
struct ItemGeometry
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const ItemGeometry&) const = default;
};

// The nearest geometry a control can take: coordinates and sizes within the toolkit's
// widget limit, worked out in 64 bits so that no sum of values near the integer limits
// overflows.
QRect controlGeometryFor(const ItemGeometry& geometry);

// What item creation needs from the window it lives in.
struct PageContext
{
    AppState* state = nullptr;
    QWidget* page = nullptr;           // parent of every item control
    TFocusImage* background = nullptr; // kept beneath every item
    QMenu* itemMenu = nullptr;
    // Connects the control's events to the window's handlers, by kind.
    std::function<void(TImg&)> wire;
    // Tells the user that a text could not be rendered.
    std::function<void(const QString& message)> renderFailed;
};

// How an item is made. A border or picture item whose file is missing always shows the
// missing-picture notice; with ShowMissingNotice it shows it whether or not its file exists
// (a file that could not be decoded). A text that cannot be rendered is told to the user and
// refused; with CallerReports it becomes an item with a stand-in picture and is not told to
// the user: the caller names it (TImg::StandInReason).
enum AddMode
{
    LoadPicture,
    ShowMissingNotice,
    CallerReports
};

// The current text attributes once a missing-picture notice has been made: its font and
// size, which the next text item starts with.
TextAttributes missingNoticeText(TextAttributes current);

class TImg
{
public:
    // Builds the item and its control on the page. Throws what the picture loader or the
    // printer throws; nothing is left on the page then.
    // A border or picture item keeps its picture at the size it is shown: `shown` when
    // valid (the size its creator gives it next), else the size it gets here. Items of one
    // list share what `shared` holds.
    TImg(const PageContext& context, quint8 kind, const QString& place, int listCount,
         AddMode mode = LoadPicture, SharedBitmaps* shared = nullptr, QSize shown = QSize());
    ~TImg();
    TImg(const TImg&) = delete;
    TImg& operator=(const TImg&) = delete;

    quint8 Kind() const { return m_kind; }
    const TDesc& Attributes() const { return m_attributes; }
    void SetAttributes(const TDesc& attributes) { m_attributes = attributes; }
    TFocusImage* Image() const { return m_image; }

    // Why a text item shows a stand-in for its text; empty when it shows the text.
    const QString& StandInReason() const { return m_standInReason; }
    // Whether a border or picture item shows the missing-picture notice.
    bool ShowsMissingNotice() const { return m_missingNotice; }

    // Places the control as a record says, as near as a control can be placed, and keeps
    // the record's values: saving writes them back unchanged while the control stays
    // there. A text item keeps the size of its picture; only a text shown by a stand-in
    // keeps the record's width and height for saving.
    void PlaceAsRecorded(const ItemGeometry& record);
    // What saving writes: the kept record values, or the control's geometry once the
    // control has been moved or resized.
    ItemGeometry SavedGeometry() const;

    void SetLeft(int x);
    void SetTop(int y);
    void SetWidth(int w);
    void SetHeight(int h);
    int GetWidth() const;
    int GetHeight() const;

private:
    quint8 m_kind = 0;
    TDesc m_attributes;
    QPointer<TFocusImage> m_image; // owned: deleted with the item
    QString m_standInReason;
    bool m_missingNotice = false;
    std::optional<ItemGeometry> m_recorded;
    QRect m_placedAt; // the control's geometry when m_recorded was kept
};

class TCampos
{
public:
    explicit TCampos(PageContext context);
    ~TCampos();
    TCampos(const TCampos&) = delete;
    TCampos& operator=(const TCampos&) = delete;

    using enum AddMode;
    // Creates an item and appends it; returns its index. An item that shows the
    // missing-picture notice leaves the current text attributes as missingNoticeText says.
    // `shown`: the size the caller gives the item next, so its picture is read for that.
    int Add(quint8 kind, const QString& place, AddMode mode = LoadPicture, QSize shown = QSize());
    // Starts reading the picture of a border or picture item that Add will make with these
    // arguments, beside the other reads, so that opening a page of photos uses every core.
    void Prefetch(quint8 kind, const QString& place, QSize shown);
    // Forgets prefetched reads no Add took.
    void DropPrefetched() { m_shared.dropPrefetched(); }
    TImg& Items(int index) const; // throws the list's index error out of range
    int Count() const { return int(m_items.size()); }
    void Delete(int index);
    void Clear();
    // Moves the item at `from` to `to` in the list; the page's stacking is not touched.
    void Move(int from, int to);

    // The item whose control this is, or -1: a control leads to its own item.
    int IndexOf(const TFocusImage* control) const;
    TImg* ItemOf(const TFocusImage* control) const;

    const PageContext& context() const { return m_context; }
    QWidget* Page() const { return m_context.page; }

private:
    PageContext m_context;
    SharedBitmaps m_shared; // declared first: destroyed after the items
    std::vector<std::unique_ptr<TImg>> m_items;
};

// The identifier of an item: the first three characters of the place string followed by
// the number of items in the list at creation.
QString itemIdentifier(const QString& place, int listCount);

// The picture-item scaling rule: twice w*w/PW and twice h*h/PH, rounded half to even;
// reduced keeping its proportions when the result does not fit on the page.
QSize scaledPictureSize(QSize picture, QSize printerPage, QSize page);

} // namespace quadrela
