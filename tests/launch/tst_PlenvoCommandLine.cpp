#include "PlenvoCommandLine.h"

#include <QGuiApplication>
#include <QtTest>

#include <vector>

class tst_PlenvoCommandLine : public QObject {
    Q_OBJECT

private slots:
    void arguments_data();
    void arguments();
    void qtSeesNothingAfterTheEndOfOptions();
};

// The files named, what the options ask for, and the first option nobody knows (Qt has taken
// its own already).
void tst_PlenvoCommandLine::arguments_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<QList<QByteArray>>("fileNames");
    QTest::addColumn<PlenvoCommandLine::Request>("request");
    QTest::addColumn<QByteArray>("unknown");
    using L = QList<QByteArray>;
    using R = PlenvoCommandLine::Request;
    QTest::newRow("none") << L {} << L {} << R::Open << QByteArray();
    QTest::newRow("options are skipped") << L {"--verbose", "a.pdf", "-", "-x"} << L {"a.pdf"} << R::Open
                                         << QByteArray("--verbose");
    QTest::newRow("everything after --") << L {"-x", "a.pdf", "--", "-", "--", "--style"}
                                         << L {"a.pdf", "-", "--", "--style"} << R::Open << QByteArray("-x");
    QTest::newRow("-- alone") << L {"--"} << L {} << R::Open << QByteArray();
    QTest::newRow("bytes kept, no request after --")
        << L {"--", "-\xff.pdf", "--help"} << L {"-\xff.pdf", "--help"} << R::Open << QByteArray();
    QTest::newRow("help after a file") << L {"a.pdf", "--help"} << L {"a.pdf"} << R::Help << QByteArray("--help");
    QTest::newRow("-h") << L {"-h"} << L {} << R::Help << QByteArray("-h");
    QTest::newRow("the first decides") << L {"-v", "--help"} << L {} << R::Version << QByteArray("-v");
    QTest::newRow("--version") << L {"--version", "a.pdf"} << L {"a.pdf"} << R::Version << QByteArray("--version");
    QTest::newRow("standard input") << L {"-"} << L {} << R::Open << QByteArray("-");
}

void tst_PlenvoCommandLine::arguments()
{
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(QList<QByteArray>, fileNames);
    QFETCH(PlenvoCommandLine::Request, request);
    QFETCH(QByteArray, unknown);
    QCOMPARE(PlenvoCommandLine::fileNames(arguments), fileNames);
    QCOMPARE(PlenvoCommandLine::request(arguments), request);
    QCOMPARE(PlenvoCommandLine::unknownOption(arguments), unknown);
}

// Regression: Qt took "-reverse" and "-style a.pdf" after "--" as its own options, so the
// files named so never reached the viewer and the window turned right-to-left.
void tst_PlenvoCommandLine::qtSeesNothingAfterTheEndOfOptions()
{
    std::vector<QByteArray> storage {"plenvo", "-platform", "offscreen", "--", "-reverse", "-style", "a.pdf"};
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int argc = int(storage.size());

    const int toolkitCount = PlenvoCommandLine::toolkitArgumentCount(argc, argv.data());
    QCOMPARE(toolkitCount, 3);
    const QList<QByteArray> afterOptions = PlenvoCommandLine::arguments(argv.data(), toolkitCount, argc);
    int toolkitArgc = toolkitCount;
    QGuiApplication app(toolkitArgc, argv.data());
    QCOMPARE(toolkitArgc, 1); // Qt took -platform and its value
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    const QList<QByteArray> arguments = PlenvoCommandLine::arguments(argv.data(), 1, toolkitArgc) + afterOptions;
    QCOMPARE(PlenvoCommandLine::fileNames(arguments), (QList<QByteArray> {"-reverse", "-style", "a.pdf"}));
}

QTEST_APPLESS_MAIN(tst_PlenvoCommandLine)
#include "tst_PlenvoCommandLine.moc"
