#include "paper.h"

#include "core/state.h"

#include <QLocale>

#include <langinfo.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>

namespace quadrela {

namespace {

constexpr int kLetterWidthMm = 216;
constexpr int kLetterHeightMm = 279;

// The name the environment gives a category, as setlocale reads it.
QString environmentLocale()
{
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("C");
}

bool usesLetter(const QLocale& locale)
{
    if (locale.measurementSystem() == QLocale::ImperialUSSystem)
        return true;
    switch (locale.territory()) {
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::PuertoRico:
        return true;
    default:
        return false;
    }
}

} // namespace

LocalePaper machinePaper()
{
    LocalePaper paper;
    // Only the paper category: the rest of the process's locale is left as it is.
    if (const char* name = std::setlocale(LC_PAPER, "")) {
        paper.name = QString::fromLocal8Bit(name);
        // glibc gives the sizes as integers in place of the string.
        paper.widthMm = int(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
        paper.heightMm = int(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_HEIGHT)));
    } else {
        paper.name = environmentLocale();
    }
    return paper;
}

QPageSize::PageSizeId defaultPaper(int layout, const LocalePaper& locale)
{
    if (layout == BusinessCard)
        return QPageSize::Letter;
    // "pt_BR.UTF-8", "pt_BR@euro": the language and territory alone.
    const QString language = locale.name.section(u'.', 0, 0).section(u'@', 0, 0);
    if (language == u"pt_BR")
        return QPageSize::A4;
    if (locale.widthMm > 0 && locale.heightMm > 0)
        return std::abs(locale.widthMm - kLetterWidthMm) <= 1 &&
                       std::abs(locale.heightMm - kLetterHeightMm) <= 1
                   ? QPageSize::Letter
                   : QPageSize::A4;
    if (language.isEmpty() || language == u"C" || language == u"POSIX")
        return QPageSize::A4;
    return usesLetter(QLocale(language)) ? QPageSize::Letter : QPageSize::A4;
}

} // namespace quadrela
