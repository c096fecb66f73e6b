// The entry points the fuzz targets drive, one per parser of outside input. The fuzz
// programs and the regression test call the same functions, so an input that once
// crashed a target is replayed exactly as the fuzzer ran it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quadrela::fuzz {

// Runs one input through a target. Failures the program reports to the user (thrown
// quadrela::Error) are the expected outcome for most inputs and are swallowed; anything
// else (a crash, a sanitizer report, an exception of another type) escapes.
using Entry = void (*)(const QByteArray& input);

// "records", "catalogue", "open_project", "png", "jpeg", "bmp", "ico", "wmf", "emf",
// "printer_offset", "recovery", "csv", "fields".
QStringList targetNames();
// Null for an unknown name.
Entry entryFor(const QString& target);

// Makes the application object the targets need (widgets on the offscreen platform), once.
void ensureApplication();

// Inputs of the "open_project" target that do not start with the ZIP signature "PK" are a
// set of files that is packed into an archive before opening, so the fuzzer reaches the
// records and pictures without first having to forge checksums:
//   project.txt bytes, kFileSeparator, item.txt bytes, then for each picture
//   kFileSeparator, bare file name, "\n", file bytes.
// The "recovery" target takes the same inputs and unpacks them into the working folder.
inline constexpr char kFileSeparator[] = "\n--8<-- ";

} // namespace quadrela::fuzz
