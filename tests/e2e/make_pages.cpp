// plenvo-test-pages OUT.pdf PAGES: writes a plain document of PAGES portrait A4 pages for the
// end-to-end tests. Exits with 1 when the file cannot be written, 2 on a usage error.

#include "TestPDFs.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = false;
    const int pages = args.size() == 3 ? args[2].toInt(&ok) : 0;
    if (!ok || pages < 1) {
        std::fprintf(stderr, "usage: plenvo-test-pages OUT.pdf PAGES\n");
        return 2;
    }
    return TestPDFs::writePlain(args[1], pages) ? 0 : 1;
}
