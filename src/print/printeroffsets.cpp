#include "printeroffsets.h"

#include <QDir>
#include <QSettings>
#include <QUrl>

#include <cmath>

namespace quadrela {

namespace {

// A printer name may hold "/" or "\", which settings read as group separators.
QString keyFor(const QString& printerName, const char* which)
{
    return QStringLiteral("AjusteImpressora/%1/%2")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(printerName)), QLatin1String(which));
}

// Numbers are stored with a decimal point whatever the user's language.
std::optional<double> storedNumber(const QVariant& value)
{
    bool ok = false;
    const double mm = value.toString().trimmed().toDouble(&ok);
    if (!ok || !offsetInRange(mm))
        return std::nullopt;
    return mm;
}

void setProblem(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
}

} // namespace

PrintOffset loadPrinterOffset(QSettings& settings, const QString& printerName, QString* problem)
{
    if (settings.status() != QSettings::NoError) {
        setProblem(problem, QStringLiteral("O arquivo de configurações %1 não pôde ser lido; "
                                           "a impressão sai sem ajuste.")
                                .arg(QDir::toNativeSeparators(settings.fileName())));
        return PrintOffset();
    }
    const QVariant horizontal = settings.value(keyFor(printerName, "horizontal"));
    const QVariant vertical = settings.value(keyFor(printerName, "vertical"));
    if (!horizontal.isValid() && !vertical.isValid())
        return PrintOffset();
    const std::optional<double> x = storedNumber(horizontal.isValid() ? horizontal : QVariant(0));
    const std::optional<double> y = storedNumber(vertical.isValid() ? vertical : QVariant(0));
    if (!x || !y) {
        setProblem(problem, QStringLiteral("O ajuste guardado para a impressora %1 não é válido "
                                           "e foi ignorado.")
                                .arg(printerName));
        return PrintOffset();
    }
    return PrintOffset{*x, *y};
}

bool savePrinterOffset(QSettings& settings, const QString& printerName, const PrintOffset& offset,
                       QString* problem)
{
    if (printerName.isEmpty()) {
        setProblem(problem, QStringLiteral("Nenhuma impressora foi escolhida."));
        return false;
    }
    if (!offsetInRange(offset.horizontalMm) || !offsetInRange(offset.verticalMm)) {
        setProblem(problem, QStringLiteral("O ajuste deve ficar entre -10,0 e +10,0 mm."));
        return false;
    }
    const auto tenths = [](double mm) {
        return QString::number(std::nearbyint(mm * 10) / 10, 'f', 1);
    };
    const QString horizontal = tenths(offset.horizontalMm);
    const QString vertical = tenths(offset.verticalMm);
    settings.setValue(keyFor(printerName, "horizontal"), horizontal);
    settings.setValue(keyFor(printerName, "vertical"), vertical);
    settings.sync();
    bool written = settings.status() == QSettings::NoError;
    if (!written) {
        // A file that could not be read (found out before the write or while merging with
        // it) leaves its error in the status even when the write replaced it: only reading
        // it again tells whether the values are there now.
        const QSettings stored(settings.fileName(), settings.format());
        written = stored.status() == QSettings::NoError &&
                  stored.value(keyFor(printerName, "horizontal")).toString() == horizontal &&
                  stored.value(keyFor(printerName, "vertical")).toString() == vertical;
    }
    if (!written) {
        setProblem(problem, QStringLiteral("Não foi possível gravar o ajuste no arquivo %1.")
                                .arg(QDir::toNativeSeparators(settings.fileName())));
        return false;
    }
    return true;
}

} // namespace quadrela
