#include "PDFViewerShortcutConfiguration.h"
#include "ShortcutNotation.h"

#include <QTest>

namespace {

using Action = PDFViewerShortcutAction;
using Configuration = PDFViewerShortcutConfiguration;
using Error = PDFViewerShortcutValidationError;

// "zoomIn=⌘1 nextPage=⌥[" → overrides.
Configuration parse(const QString &text)
{
    QMap<QString, PDFViewerShortcut> overrides;
    for (const QString &entry : text.split(u' ', Qt::SkipEmptyParts))
        overrides.insert(entry.left(entry.indexOf(u'=')), sc(entry.mid(entry.indexOf(u'=') + 1)));
    return Configuration(overrides);
}

std::variant<Configuration, Error> set(const Configuration &c, const char *notation, Action action)
{
    return c.setting(sc(notation), action);
}

} // namespace

class tst_PDFViewerShortcutConfiguration : public QObject {
    Q_OBJECT

private slots:
    void settingAndSwapping();
    void sanitized_data();
    void sanitized();
    void record();
};

void tst_PDFViewerShortcutConfiguration::settingAndSwapping()
{
    const Configuration moved = parse(QStringLiteral("zoomIn=⌘1"));
    QCOMPARE(std::get<Configuration>(set(Configuration(), "⌘1", Action::zoomIn)), moved);
    QCOMPARE(std::get<Configuration>(set(moved, "⌘1", Action::zoomIn)), moved); // the one it already has
    QCOMPARE(std::get<Configuration>(set(moved, "⌥=", Action::zoomIn)), Configuration()); // default: entry gone
    QCOMPARE(std::get<Error>(set(moved, "⌘1", Action::fitPage)), Error::duplicate(Action::zoomIn));
    QCOMPARE(std::get<Error>(set(moved, "⌥[", Action::fitPage)), Error::duplicate(Action::previousPage)); // a default
    QCOMPARE(std::get<Error>(set(moved, "⌘q", Action::fitPage)), Error::reserved());

    // A swap needs a free combination in between.
    Configuration c = parse(QStringLiteral("zoomOut=⌘1 zoomIn=⌘2"));
    QCOMPARE(std::get<Error>(set(c, "⌘2", Action::zoomOut)), Error::duplicate(Action::zoomIn));
    QCOMPARE(std::get<Error>(set(c, "⌘1", Action::zoomIn)), Error::duplicate(Action::zoomOut));
    c = std::get<Configuration>(set(c, "⌘3", Action::zoomOut));
    c = std::get<Configuration>(set(c, "⌘1", Action::zoomIn));
    c = std::get<Configuration>(set(c, "⌘2", Action::zoomOut));
    QCOMPARE(c, parse(QStringLiteral("zoomOut=⌘2 zoomIn=⌘1")));
}

void tst_PDFViewerShortcutConfiguration::sanitized_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("cleaned");
    const auto row = [](const char *name, const char *stored, const char *cleaned) {
        QTest::newRow(name) << QString::fromUtf8(stored) << QString::fromUtf8(cleaned);
    };
    row("key differing from zoomIn in case", "ZoomIn=⌘1 zoomIn=⌘2", "zoomIn=⌘2");
    row("unknown keys", "print=⌘1 =⌘2", "");
    row("entries equal to their defaults", "previousPage=⌥[ togglePresentation=⌥F", "");
    row("entries failing basic checks", "zoomIn=⌘ab fitPage=⇧a actualSize=⌘q nextPage=⌘1", "nextPage=⌘1");
    row("override on another's untouched default", "nextPage=⌥[", "");
    row("two overrides alike: earlier action keeps", "zoomOut=⌘1 zoomIn=⌘1", "zoomOut=⌘1");
    row("default reused after its owner moved", "zoomIn=⌥[ previousPage=⌘1", "zoomIn=⌥[ previousPage=⌘1");
    row("stored swap", "zoomOut=⌥= zoomIn=⌥-", "zoomOut=⌥= zoomIn=⌥-");
    // zoomOut loses ⌘1 and falls back to ⌥-, which nextPage holds: the restarted pass gives it back.
    row("removal uncovers a second conflict", "previousPage=⌘1 zoomOut=⌘1 nextPage=⌥-", "previousPage=⌘1");
}

void tst_PDFViewerShortcutConfiguration::sanitized()
{
    QFETCH(QString, stored);
    QFETCH(QString, cleaned);
    QCOMPARE(parse(stored).sanitized(), parse(cleaned));
}

void tst_PDFViewerShortcutConfiguration::record()
{
    const Configuration c = parse(QStringLiteral("zoomIn=⌘= togglePresentation=⌃⌘p"));
    const QByteArray written = R"({"overrides":{"togglePresentation":{"key":"p","modifiers":9},)"
                               R"("zoomIn":{"key":"=","modifiers":8}}})";
    QCOMPARE(c.encoded(), written);
    QCOMPARE(Configuration::decoded(written), c);
    // Unknown keys and members are readable; every modifier bit, even the sign, is kept.
    QCOMPARE(Configuration::decoded(R"({"v":2,"overrides":{"zoom":{"x":1,"key":"P","modifiers":-1}}})")->encoded(),
        QByteArray(R"({"overrides":{"zoom":{"key":"p","modifiers":-1}}})"));
    QCOMPARE(Configuration::decoded(R"({"overrides":{}})"), Configuration());
    for (const char *unreadable : {R"({"zoomIn":{"key":"=","modifiers":8}})", R"({"overrides":[]})",
             R"({"overrides":{"zoomIn":{"key":"="},"zoomOut":{"key":"-","modifiers":8}}})",
             R"({"overrides":{"zoomIn":{"modifiers":8}}})", R"({"overrides":{"zoomIn":{"key":"a","modifiers":2.5}}})",
             R"({"overrides":{"zoomIn":{"key":"a","modifiers":1e19}}})"})
        QVERIFY2(!Configuration::decoded(unreadable), unreadable);
}

QTEST_GUILESS_MAIN(tst_PDFViewerShortcutConfiguration)
#include "tst_PDFViewerShortcutConfiguration.moc"
