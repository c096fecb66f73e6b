// The paper a sheet goes on while no printer has been chosen: the paper of the machine's
// locale, which the program's own Brazilian Portuguese interface says nothing about.
#pragma once

#include <QPageSize>
#include <QString>

namespace quadrela {

// What the machine's locale says about paper (LC_PAPER).
struct LocalePaper
{
    QString name;      // the locale's name, "en_US.UTF-8"; "C" or empty for none
    int widthMm = 0;   // the locale's paper; 0 when the locale is not installed
    int heightMm = 0;
};

// The locale the environment gives LC_PAPER, with its paper when it is installed.
LocalePaper machinePaper();

// Letter or A4 for a page layout. Business cards are laid out for Letter. Otherwise a
// Brazilian locale gives A4, and any other the paper it names: Letter when that is
// Letter's size, A4 for every other paper (the C locale's among them). A locale that is
// not installed gives Letter where it is used (North America, the Philippines and some of
// Latin America), else A4.
QPageSize::PageSizeId defaultPaper(int layout, const LocalePaper& locale);

} // namespace quadrela
