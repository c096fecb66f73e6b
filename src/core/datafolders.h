// Where the program reads what it ships and where it writes: one folder beside the
// executable when that folder is writable (a copy in the user's home, the build folder);
// otherwise the installed, read-only data and a private folder of the user's own.
#pragma once

#include <QString>

namespace quadrela {

// What the choice depends on, gathered from the file system and the environment by
// folderFactsFor(); tests build them by hand.
struct FolderFacts
{
    QString executableFolder;
    bool besideExists = false; // "dados/" beside the executable
    bool besideWritable = false;
    QString xdgDataHome; // $XDG_DATA_HOME as set; empty or relative means unset
    QString home;
};

struct DataFolders
{
    // Read: the template catalogue, templates and previews, borders, cliparts.
    QString shipped;
    // Written: the working folder, the scratch picture, the lock; and read before shipped
    // for the user's own templates, borders and cliparts. Equal to shipped when the folder
    // beside the executable is writable.
    QString user;
    // A folder beside the executable that the choice passed over, for messages.
    QString beside;

    bool separate() const { return shipped != user; }
};

// <executable folder>/../share/quadrela/dados/, cleaned, ending in "/".
QString installedDataFolderFor(const QString& executableFolder);
// $XDG_DATA_HOME/quadrela/ (or ~/.local/share/quadrela/), ending in "/".
QString userDataFolderFor(const QString& xdgDataHome, const QString& home);

// The folder beside the executable when it is writable; else the shipped data beside the
// executable if a read-only copy is there, or the installed data folder, with the user's
// folder for everything written.
DataFolders chooseDataFolders(const FolderFacts& facts);
FolderFacts folderFactsFor(const QString& executableFolder);

// Makes the folder and each missing folder above it readable by the owner only, as the
// user's data is nobody else's business. An existing folder is left as it is.
bool makePrivateFolder(const QString& path);

// The message for the user, naming the folder at fault, when the shipped data cannot be
// read; empty when it can.
QString shippedDataFault(const DataFolders& folders);
// Makes what is missing of the user's folder (with its working folder and cliparts
// folder); the message naming the folder when it cannot be made or written, else empty.
QString prepareUserFolder(const DataFolders& folders);
// The message naming the first of the working folder, the lock and the run marker in the
// user's folder that is a symbolic link; empty when none is.
QString linkedEntryFault(const QString& userFolder);
// The three above, in that order.
QString prepareDataFolders(const DataFolders& folders);

} // namespace quadrela
