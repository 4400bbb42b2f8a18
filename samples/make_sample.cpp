// plenvo-make-sample OUT.pdf [--a0-only | --light | --chinese]
// Writes the sample drawing set to OUT.pdf, creating the folder when missing; or only its
// dense A0 plan (--a0-only), the sparse A0 site plan (--light), or the long Chinese text
// document (--chinese). Silent on success; on failure prints the reason to stderr and exits
// with 1 (2 for a usage error).

#include "BlueprintSheet.h"
#include "ChineseReport.h"

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

    const QStringList kinds = {QStringLiteral("--a0-only"), QStringLiteral("--light"), QStringLiteral("--chinese")};
    QString kind;
    QString out;
    for (const QString &arg : args) {
        if (kinds.contains(arg) && kind.isEmpty()) {
            kind = arg;
        } else if (arg.startsWith(QLatin1Char('-')) || !out.isEmpty()) {
            out.clear();
            break;
        } else {
            out = arg;
        }
    }
    if (out.isEmpty()) {
        std::fprintf(stderr, "usage: plenvo-make-sample OUT.pdf [--a0-only | --light | --chinese]\n");
        return 2;
    }

    QString error;
    bool ok = false;
    if (kind == kinds[0])
        ok = BlueprintSheet::writeA0Only(out, &error);
    else if (kind == kinds[1])
        ok = BlueprintSheet::writeLight(out, &error);
    else if (kind == kinds[2])
        ok = ChineseReport::write(out, 300, &error);
    else
        ok = BlueprintSheet::writeSample(out, &error);
    if (!ok) {
        printError(
            QStringLiteral("cannot write %1: %2").arg(out, error.isEmpty() ? QStringLiteral("unknown error") : error));
        return 1;
    }
    return 0;
}
