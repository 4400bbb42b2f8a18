#include "PDFViewerFixedShortcuts.h"
#include "PDFViewerShortcutAction.h"
#include "PDFViewerShortcutConfiguration.h"
#include "PDFViewerShortcutPolicy.h"
#include "ShortcutNotation.h"

#include <QSet>
#include <QTest>

namespace {

using Action = PDFViewerShortcutAction;
using Configuration = PDFViewerShortcutConfiguration;
using Error = PDFViewerShortcutValidationError;

// The outcome as the rules name it: "ok", "unsupportedKey", …
QString outcome(const std::optional<Error> &error)
{
    if (!error)
        return QStringLiteral("ok");
    const char *names[] = {"duplicate", "unsupportedKey", "unsupportedModifier", "missingPrimaryModifier", "reserved"};
    return QString::fromLatin1(names[int(error->kind())]);
}

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

// The shortcut value, the rules a single combination must pass, and the configuration of
// overrides built from such combinations.
class tst_PDFViewerShortcut : public QObject {
    Q_OBJECT

private slots:
    void namesAndEquality();
    void keys_data();
    void keys();
    void basicChecks_data();
    void basicChecks();
    void fixedCommandsAreReserved();
    void settingAndSwapping();
    void sanitized_data();
    void sanitized();
    void record();
};

// Stored names are read exactly; equality and hashing use the normalised key and every raw
// modifier bit.
void tst_PDFViewerShortcut::namesAndEquality()
{
    for (const char *near : {"zoomin", "ZoomIn", " zoomIn", "", "放大"})
        QVERIFY2(!PDFViewerShortcutAction::fromRawValue(QString::fromUtf8(near)), near);
    const QSet<PDFViewerShortcut> shortcuts {sc("⌘F"), sc("⌘f"), sc("⌃⌘f"), sc("⌘f", 16)};
    QCOMPARE(shortcuts.size(), 3);
}

void tst_PDFViewerShortcut::keys_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<qint64>("modifiers"); // control 1 is Super, option 2 Alt, shift 4 Shift, command 8 Ctrl
    QTest::addColumn<QString>("rawValue");
    QTest::addColumn<QString>("displayText");
    const auto row
        = [](const char *name, const QString &input, qint64 modifiers, const QString &raw, const char *display) {
              QTest::newRow(name) << input << modifiers << raw << QString::fromUtf8(display);
          };
    row("capital F is stored f", QStringLiteral("F"), 8, QStringLiteral("f"), "Ctrl+F");
    row("é shows upper case", ch(0xE9), 2, ch(0xE9), "Alt+É");
    row("minus shows U+2212", QStringLiteral("-"), 2, QStringLiteral("-"), "Alt+\u2212");
    row("Shift before Super", ch(0xF70F), 5, ch(0xF70F), "Shift+Super+F12");
    row("return", QStringLiteral("\r"), 2, QStringLiteral("\r"), "Alt+Return");
    row("other bits show nothing", QStringLiteral("1"), 16 | 8, QStringLiteral("1"), "Ctrl+1");
    row("modifiers without a key", QString(), 6, QString(), "Alt+Shift+");
}

void tst_PDFViewerShortcut::keys()
{
    QFETCH(QString, input);
    QFETCH(qint64, modifiers);
    QFETCH(QString, rawValue);
    QFETCH(QString, displayText);
    const PDFViewerShortcutKey key(input);
    QCOMPARE(key.rawValue(), rawValue);
    QCOMPARE(PDFViewerShortcut(key, PDFViewerShortcutModifiers(modifiers)).displayText(), displayText);
}

void tst_PDFViewerShortcut::basicChecks_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<qint64>("extraBits");
    QTest::addColumn<QString>("expected");
    const auto row = [](const QString &notation, const char *expected, qint64 extraBits = 0) {
        QTest::addRow("%s bits %lld", qPrintable(notation), extraBits)
            << notation << extraBits << QString::fromLatin1(expected);
    };
    // Primary modifiers
    for (const char *ok : {"⌥a", "⌃⇧a", "⌘F5", "⌃⌥⇧⌘~", "⌥Return"})
        row(QString::fromUtf8(ok), "ok");
    for (const char *missing : {"⇧a", "a", "F5", "⇧↑"})
        row(QString::fromUtf8(missing), "missingPrimaryModifier");
    // Keys
    for (const QString &key :
        {QStringLiteral("ab"), QString(), ch(0xE9), QStringLiteral("e\u0301"), ch(0xF728), ch(0xF710), ch(0x1B)})
        row(QStringLiteral("⌘") + key, "unsupportedKey");
    // Order of the checks: key, then modifier range, then primary modifier, then reserved.
    row(QStringLiteral("ab"), "unsupportedKey", 16);
    row(QStringLiteral("⇧a"), "unsupportedModifier", 16);
    row(QStringLiteral("a"), "unsupportedModifier", -1);
    // One reserved key per modifier set the system keeps (the fixed commands are checked below),
    // then near misses.
    for (const char *reserved : {"⌃Space", "⌘w", "⌃⌘q", "⌥⌘d", "⇧⌘3"})
        row(QString::fromUtf8(reserved), "reserved");
    row(QStringLiteral("⌘Q"), "reserved"); // normalised to q first
    for (const char *free : {"⇧⌘q", "⌃⌥⌘f", "⌥↑", "⇧⌘2", "⌃⌥Space"})
        row(QString::fromUtf8(free), "ok");
}

void tst_PDFViewerShortcut::basicChecks()
{
    QFETCH(QString, notation);
    QFETCH(qint64, extraBits);
    QFETCH(QString, expected);
    QCOMPARE(outcome(PDFViewerShortcutPolicy::basicValidationError(sc(notation, extraBits))), expected);
}

void tst_PDFViewerShortcut::fixedCommandsAreReserved()
{
    QVERIFY(!PDFViewerFixedShortcuts::all().isEmpty());
    for (const PDFViewerShortcut &fixed : PDFViewerFixedShortcuts::all()) {
        QVERIFY2(outcome(PDFViewerShortcutPolicy::basicValidationError(fixed)) == QStringLiteral("reserved"),
            qPrintable(fixed.displayText()));
    }
}

void tst_PDFViewerShortcut::settingAndSwapping()
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

void tst_PDFViewerShortcut::sanitized_data()
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

void tst_PDFViewerShortcut::sanitized()
{
    QFETCH(QString, stored);
    QFETCH(QString, cleaned);
    QCOMPARE(parse(stored).sanitized(), parse(cleaned));
}

void tst_PDFViewerShortcut::record()
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

QTEST_GUILESS_MAIN(tst_PDFViewerShortcut)
#include "tst_PDFViewerShortcut.moc"
