// decode IN OUT.png: decodes IN with the program's codecs, chosen by its extension, and
// writes it as a PNG whose transparent parts stay transparent.
#include "verbs.h"

#include "codecs/picture.h"
#include "codecs/png.h"

namespace quadrela::cli {

int runDecode(const QStringList& args)
{
    if (args.size() != 2)
        return kExitUsage;
    TPicture picture;
    picture.LoadFromFile(args.at(0));
    TPNGObject::fromBitmap(picture.toImage()).SaveToFile(args.at(1));
    return kExitOk;
}

} // namespace quadrela::cli
