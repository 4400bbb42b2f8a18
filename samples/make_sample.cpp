// plenvo-make-sample OUT.pdf [--a0-only]
// Writes the sample drawing set (or only its dense A0 plan) to OUT.pdf, creating the
// folder when missing. Silent on success; on failure prints the reason to stderr and exits
// with 1 (2 for a usage error).

#include "BlueprintSheet.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void printError(const QString &message)
{
    std::fprintf(stderr, "plenvo-make-sample: %s\n", qUtf8Printable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    bool a0Only = false;
    QString out;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--a0-only")) {
            a0Only = true;
        } else if (arg.startsWith(QLatin1Char('-')) || !out.isEmpty()) {
            out.clear();
            break;
        } else {
            out = arg;
        }
    }
    if (out.isEmpty()) {
        std::fprintf(stderr, "usage: plenvo-make-sample OUT.pdf [--a0-only]\n");
        return 2;
    }

    QString error;
    const bool ok = a0Only ? BlueprintSheet::writeA0Only(out, &error) : BlueprintSheet::writeSample(out, &error);
    if (!ok) {
        printError(
            QStringLiteral("cannot write %1: %2").arg(out, error.isEmpty() ? QStringLiteral("unknown error") : error));
        return 1;
    }
    return 0;
}
