#include "dialogpaper.h"

#include <algorithm>

namespace quadrela {

QPageSize paperAfterDialog(const QPageSize& asked, const QPageSize& returned,
                           const std::optional<QPageSize>& picked, const QList<QPageSize>& offered)
{
    // A pick the user took back (the paper page was cancelled) is no pick.
    if (picked && picked->isEquivalentTo(returned))
        return returned;
    if (!asked.isValid())
        return returned;
    if (offered.isEmpty())
        return asked;
    const auto same = std::find_if(offered.cbegin(), offered.cend(),
                                   [&](const QPageSize& size) { return size.isEquivalentTo(asked); });
    return same != offered.cend() ? *same : returned;
}

} // namespace quadrela
