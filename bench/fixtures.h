// What the benchmark programs share: photo-like pictures written once per run into a
// private folder, timing of outside programs, and a main() for programs that need widgets.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quadrela::bench {

// A folder that lives until the program ends; every fixture file is written into it.
QString scratchFolder();

// A picture with smooth shading, edges and fine grain, so that its JPEG and PNG files are
// as large and as slow to decode as a camera's. The same seed gives the same picture.
QImage makePhoto(int width, int height, quint32 seed);

// Writes the picture into the scratch folder under name unless a file of that name is
// already there, and returns its path. Format by extension; quality as QImageWriter's.
QString writePicture(const QImage& picture, const QString& name, int quality);

// Photo-like JPEG files of the given size in the scratch folder, one per seed 1..count,
// named prefix01.jpg and onwards.
QStringList writePhotos(const QString& prefix, int count, int width, int height, int quality);

// Runs a program and waits for it. Returns the exit status, or nothing when it could not
// be started, was killed, or ran beyond timeoutSeconds (it is then killed). The extra
// environment entries ("NAME=value") are added to this process's environment. Standard
// output and error go to /dev/null.
std::optional<int> runProgram(const QStringList& command, const QStringList& extraEnvironment = {},
                              double timeoutSeconds = 120);

// Runs work in a forked child, so that what it measures starts from a fresh process, and
// returns the number the child reports with reportAndExit, or -1 when it reported none.
qint64 numberFromChild(const std::function<void(int fd)>& work);
// Writes the number for the parent into fd and ends the child.
[[noreturn]] void reportAndExit(int fd, qint64 number);

// Deletes every file directly in folder.
void emptyFolder(const QString& folder);

// Runs the benchmarks registered in this program inside a QApplication on the offscreen
// platform: for programs whose benchmarks create widgets or paint text.
int runWithApplication(int argc, char** argv);

} // namespace quadrela::bench
