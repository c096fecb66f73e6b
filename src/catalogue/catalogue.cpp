#include "catalogue.h"
#include "core/convert.h"
#include "core/errors.h"
#include "core/paths.h"

#include <QDir>
#include <algorithm>

namespace quadrela {

const std::array<Category, 17> kHomeCategories = {{
    {"C0", "Cartões de Agradecimento"},
    {"C1", "Cartões de Amizade"},
    {"C2", "Cartões de Aniversário"},
    {"C3", "Cartões de Desculpas"},
    {"C4", "Cartões de Dia das Bruxas"},
    {"C5", "Cartões de Dia das Crianças"},
    {"C6", "Cartões de Dia das Mães"},
    {"C7", "Cartões de Dia dos Namorados"},
    {"C8", "Cartões de Dia dos Pais"},
    {"C9", "Cartões de Natal"},
    {"C10", "Cartões de Saudades"},
    {"C11", "Convites de 15 anos"},
    {"C12", "Convites de Aniversário"},
    {"C13", "Convites de Casamento"},
    {"C14", "Convites de Dia das Bruxas"},
    {"C15", "Participação"},
    {"C16", "Pôsteres"},
}};

const std::array<Category, 8> kBusinessCategories = {{
    {"E0", "Cartões de Visita"},
    {"E1", "Anúncios de compra/venda"},
    {"E2", "Comunicados"},
    {"E3", "Certificados"},
    {"E4", "Currículos"},
    {"E5", "Diplomas"},
    {"E6", "Panfletos"},
    {"E7", "Papel timbrado"},
}};

int LayoutFromCatalogueCode(int code)
{
    switch (code) {
    case 2:
        return FoldedCard;
    case 3:
        return BusinessCard;
    default:
        return FullPage;
    }
}

CategoryEntry FindCategoryEntry(const QString& key, const QString& catalogueText)
{
    CategoryEntry entry;
    const QString marker = u'[' + key + u']';
    const qsizetype at = catalogueText.indexOf(marker);
    if (at < 0)
        return entry;
    const qsizetype start = at + marker.size();
    qsizetype end = catalogueText.indexOf(u'[', start);
    if (end < 0)
        end = catalogueText.size();
    const QStringList lines = splitLines(trimControl(catalogueText.mid(start, end - start)));

    try {
        if (lines.size() < 1)
            return entry;
        entry.layout = LayoutFromCatalogueCode(strToInt(lines.at(0)));
        if (lines.size() < 2)
            return entry;
        entry.filePrefix = lines.at(1);
        if (lines.size() < 3)
            return entry;
        entry.modelCount = strToInt(lines.at(2));
    } catch (const Error&) {
        // The values read so far stand; this one and the rest keep their defaults.
    }
    return entry;
}

QString categoryKey(bool business, int place)
{
    return (business ? QStringLiteral("E") : QStringLiteral("C")) + QString::number(place);
}

QStringList categoryCaptions(bool business)
{
    QStringList captions;
    if (business) {
        for (const Category& c : kBusinessCategories)
            captions.append(QString::fromUtf8(c.caption));
    } else {
        for (const Category& c : kHomeCategories)
            captions.append(QString::fromUtf8(c.caption));
    }
    return captions;
}

QStringList modelCaptions(int modelCount)
{
    QStringList captions;
    const int count = std::min(modelCount, kMaxModelCount);
    for (int model = 1; model <= count; ++model)
        captions.append(QStringLiteral("Modelo 0") + QString::number(model));
    captions.append(QStringLiteral("Em branco"));
    return captions;
}

QString templateCataloguePath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("modelos.txt");
}

QString borderListPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("bordas.txt");
}

QString borderPreviewFolder(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("bordas/preview/");
}

QString borderPictureFolder(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("bordas/");
}

static QString templateBase(const QString& dataFolder, const QString& prefix, int model)
{
    return dataFolder + QStringLiteral("modelos/") + prefix + u'0' + QString::number(model);
}

QString templatePreviewPath(const QString& dataFolder, const QString& prefix, int model)
{
    return templateBase(dataFolder, prefix, model) + QStringLiteral(".png");
}

QString templateArchivePath(const QString& dataFolder, const QString& prefix, int model)
{
    return templateBase(dataFolder, prefix, model) + QStringLiteral(".vimel");
}

QStringList borderListLines(const QString& borderListText)
{
    return splitLines(borderListText);
}

QStringList borderPreviewFiles(const QString& previewFolder)
{
    // Hidden files are left out because QDir::Hidden is not asked for; QDir::Files
    // also leaves out folders and broken links.
    const QDir folder(previewFolder);
    QStringList names = folder.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        // Names equal but for case keep one fixed order.
        return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    return names;
}

QStringList offeredBorderNames(const QStringList& listLines, int previewFileCount)
{
    const qsizetype count = std::clamp<qsizetype>(previewFileCount, 0, listLines.size());
    return listLines.mid(0, count);
}

QString dataFile(const AppState& state, const QString& piece)
{
    const QString own = state.dataFolder + piece;
    return fileExists(own) ? own : state.shippedFolder() + piece;
}

QList<OfferedBorder> bordersOf(const QString& dataFolder, const QStringList& listLines)
{
    const QString previewFolder = borderPreviewFolder(dataFolder);
    const QStringList files = borderPreviewFiles(previewFolder);
    const QStringList names = offeredBorderNames(listLines, int(files.size()));
    QList<OfferedBorder> borders;
    for (qsizetype i = 0; i < names.size(); ++i)
        borders.append({names.at(i), previewFolder + files.at(i),
                        borderPictureFolder(dataFolder) + files.at(i)});
    return borders;
}

} // namespace quadrela
