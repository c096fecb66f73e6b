// The data folder's catalogues: the template catalogue "modelos.txt", the border list
// "bordas.txt" with its preview folder, and the file names formed from them. No widgets.
#pragma once

#include "core/state.h"

#include <QString>
#include <QStringList>
#include <array>

namespace quadrela {

// What the template catalogue says about one category.
struct CategoryEntry
{
    int layout = FullPage;
    QString filePrefix;
    int modelCount = 0;

    bool operator==(const CategoryEntry&) const = default;
};

// 2 folded card, 3 business card, any other number full page.
int LayoutFromCatalogueCode(int code);

// The entry under "[key]" of the catalogue text: the section body (up to the next
// "[") trimmed and split into lines, read as layout code, file prefix (as written)
// and model count. The first line that is missing or not an integer ends the reading;
// it and the values after it keep their defaults. A missing key gives the defaults.
CategoryEntry FindCategoryEntry(const QString& key, const QString& catalogueText);

// The fixed categories of the new-project dialog, in list order. The key is the
// list letter ("C" home, "E" business) followed by the 0-based place.
struct Category
{
    const char* key;
    const char* caption; // UTF-8
};
extern const std::array<Category, 17> kHomeCategories;
extern const std::array<Category, 8> kBusinessCategories;
QString categoryKey(bool business, int place);
QStringList categoryCaptions(bool business);

// A category offers at most this many numbered models; a damaged count must not
// fill a list box with billions of entries.
inline constexpr int kMaxModelCount = 9999;

// "Modelo 01" .. "Modelo 09", "Modelo 010", ... for 1 .. modelCount, then "Em branco".
// A model count of 0 or less gives only "Em branco".
QStringList modelCaptions(int modelCount);

// Files of the data folder (which always ends in "/"); an empty folder gives the piece
// relative to any data folder, for dataFile().
QString templateCataloguePath(const QString& dataFolder); // "modelos.txt"
QString borderListPath(const QString& dataFolder);        // "bordas.txt"
QString borderPreviewFolder(const QString& dataFolder);   // "bordas/preview/"
QString borderPictureFolder(const QString& dataFolder);   // "bordas/"
// "modelos/" + prefix + "0" + model + ".png" / ".vimel"; model 0 is "no model chosen".
QString templatePreviewPath(const QString& dataFolder, const QString& prefix, int model);
QString templateArchivePath(const QString& dataFolder, const QString& prefix, int model);

// The lines of the border list, blank lines included as entries.
QStringList borderListLines(const QString& borderListText);

// The names of the ordinary files of the preview folder (no folders, no hidden
// files), ascending, compared character by character without regard to case.
// A missing folder gives no files.
QStringList borderPreviewFiles(const QString& previewFolder);

// The borders offered: a name line counts only when a preview file exists for it,
// so lines beyond previewFileCount are dropped.
QStringList offeredBorderNames(const QStringList& listLines, int previewFileCount);

// A data file named relative to the data folder ("modelos.txt", "modelos/x01.png"): the
// user's own when the user's folder has it, else the shipped one.
QString dataFile(const AppState& state, const QString& piece);

// One border of the dialog's list with the files it is drawn from.
struct OfferedBorder
{
    QString name;
    QString preview; // full path
    QString picture; // full path; may not exist

    bool operator==(const OfferedBorder&) const = default;
};

// The borders of one data folder: the lines of its border list matched to its preview
// files.
QList<OfferedBorder> bordersOf(const QString& dataFolder, const QStringList& listLines);

} // namespace quadrela
