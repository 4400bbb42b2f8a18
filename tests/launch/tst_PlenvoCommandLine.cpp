#include "PlenvoCommandLine.h"

#include <QGuiApplication>
#include <QtTest>

#include <vector>

class tst_PlenvoCommandLine : public QObject {
    Q_OBJECT

private slots:
    void fileNames_data();
    void fileNames();
    void options_data();
    void options();
    void qtSeesNothingAfterTheEndOfOptions();
};

void tst_PlenvoCommandLine::fileNames_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<QList<QByteArray>>("fileNames");
    using L = QList<QByteArray>;
    QTest::newRow("none") << L {} << L {};
    QTest::newRow("options are skipped") << L {"--verbose", "a.pdf", "-", "-x"} << L {"a.pdf"};
    QTest::newRow("a dash name after --") << L {"--", "-plan.pdf"} << L {"-plan.pdf"};
    QTest::newRow("everything after --") << L {"-x", "a.pdf", "--", "-", "--", "--style"}
                                         << L {"a.pdf", "-", "--", "--style"};
    QTest::newRow("-- alone") << L {"--"} << L {};
    QTest::newRow("bytes kept") << L {"--", "-\xff.pdf"} << L {"-\xff.pdf"};
}

void tst_PlenvoCommandLine::fileNames()
{
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(QList<QByteArray>, fileNames);
    QCOMPARE(PlenvoCommandLine::fileNames(arguments), fileNames);
}

// What the options ask for, and the first one nobody knows (Qt has taken its own already).
void tst_PlenvoCommandLine::options_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<PlenvoCommandLine::Request>("request");
    QTest::addColumn<QByteArray>("unknown");
    using L = QList<QByteArray>;
    using R = PlenvoCommandLine::Request;
    QTest::newRow("files") << L {"a.pdf", "b.pdf"} << R::Open << QByteArray();
    QTest::newRow("help after a file") << L {"a.pdf", "--help"} << R::Help << QByteArray("--help");
    QTest::newRow("-h") << L {"-h"} << R::Help << QByteArray("-h");
    QTest::newRow("the first decides") << L {"-v", "--help"} << R::Version << QByteArray("-v");
    QTest::newRow("--version") << L {"--version", "a.pdf"} << R::Version << QByteArray("--version");
    QTest::newRow("names after --") << L {"--", "--help", "-x"} << R::Open << QByteArray();
    QTest::newRow("unknown") << L {"a.pdf", "--verbose", "--", "-x"} << R::Open << QByteArray("--verbose");
    QTest::newRow("standard input") << L {"-"} << R::Open << QByteArray("-");
}

void tst_PlenvoCommandLine::options()
{
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(PlenvoCommandLine::Request, request);
    QFETCH(QByteArray, unknown);
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
