// Turning and mirroring a picture item: the turned picture becomes a new working copy and
// the item shows it in the place of the old one.
#include "handlers.h"

#include "core/errors.h"
#include "core/limits.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/textfile.h"
#include "imaging/turnpicture.h"
#include "items.h"
#include "picturecommand.h"

#include <QFileInfo>

namespace quadrela {

namespace {

// A picture file no photo the program accepts comes near: a 64-megapixel bitmap at four
// bytes a pixel, with room for a file that compresses badly.
constexpr qint64 kMaxPictureFileBytes = kMaxPicturePixels * 4 + 64LL * 1024 * 1024;

// The new working copy's path; the file of the same turn of the same picture is shared.
QString writeTurnedCopy(const QString& workingFolder, const QString& file, PictureTurn turn)
{
    const QString ext = pictureExtension(file);
    const PictureFormat format = formatForExtension(ext);
    if (format == PictureFormat::None)
        throw unknownExtension(ext);
    const TurnedPicture turned =
        turnPicture(readRegularFile(file, kMaxPictureFileBytes), format, turn);
    const QString name = fileNamePart(file);
    const QString stem = name.left(name.size() - ext.size() - 1);
    bool exists = false;
    const QString copy =
        workingCopyPath(workingFolder, stem + u'.' + turned.extension, turned.bytes, &exists);
    QString reason;
    if (!exists && !writeWholeFile(copy, turned.bytes, &reason))
        throw Error(QStringLiteral("Não foi possível criar o arquivo %1: %2").arg(copy, reason));
    return copy;
}

} // namespace

void ItemHandlers::turnSelected(PictureTurn turn)
{
    TImg* item = selectedItem();
    if (!item || item->Kind() != PictureItem || item->ShowsMissingNotice())
        return;
    TFocusImage* old = item->Image();
    const QString copy = writeTurnedCopy(
        m_state.workingFolder,
        fileInFolder(m_state.workingFolder, fileNamePart(item->Attributes().FileName)), turn);

    // A quarter turn swaps the sides about the item's centre; turning back restores the
    // place exactly, as the two halves of the difference cancel.
    QRect place = old->geometry();
    if (swapsSides(turn)) {
        const int w = place.width(), h = place.height();
        place = QRect(place.left() + (w - h) / 2, place.top() + (h - w) / 2, h, w);
    }
    TDesc attributes = item->Attributes();
    attributes.FileName = copy;
    const int added = m_items.Add(PictureItem, copy, TCampos::LoadPicture, place.size());
    TImg& turned = m_items.Items(added);
    turned.SetAttributes(attributes);
    TFocusImage* control = turned.Image();
    control->setGeometry(place);
    // The new control takes the old one's place in the stacking and in the list.
    control->stackUnder(old);
    const QString objectName = old->objectName();
    const int index = m_items.IndexOf(old);
    releaseWorkingCopy(index);
    m_items.Delete(index);
    m_items.Move(m_items.IndexOf(control), index);
    control->setObjectName(objectName);
    m_selection = control;
}

} // namespace quadrela
