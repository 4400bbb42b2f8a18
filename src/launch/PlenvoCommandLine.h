#pragma once

#include <QByteArray>
#include <QList>

// The command line as the viewer reads it: file names and URLs, options (anything else that
// starts with "-": --help, --version and Qt's own), and "--", after which every argument is a
// file name, also one that starts with "-". Arguments are exact bytes: file names need not be
// UTF-8.
//
// Qt takes its own options (-style, -platform, -reverse, …) out of argv wherever they stand,
// even after "--", and some take the next argument as their value; so Qt is shown only what
// precedes the first "--".
namespace PlenvoCommandLine {

// How many leading entries of argv, the program name included, are Qt's to read.
int toolkitArgumentCount(int argc, const char *const *argv);
// The bytes of argv[first, last).
QList<QByteArray> arguments(const char *const *argv, int first, int last);
// The file names and URLs among `arguments` (the program name not included), in order.
QList<QByteArray> fileNames(const QList<QByteArray> &arguments);

// What the command line asks of the program. Help and version are answered from the raw
// arguments, before the toolkit starts, so they need no display; the first of them before
// "--" decides.
enum class Request { Open, Help, Version };
Request request(const QList<QByteArray> &arguments);
// The first option before "--" that the viewer does not know, once Qt has taken its own out of
// `arguments`; empty when there is none. A lone "-" (standard input) is one.
QByteArray unknownOption(const QList<QByteArray> &arguments);
// The text --help prints, UTF-8, ending in a newline.
QByteArray helpText();

} // namespace PlenvoCommandLine
