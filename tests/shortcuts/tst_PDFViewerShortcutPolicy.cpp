#include "PDFViewerFixedShortcuts.h"
#include "PDFViewerShortcutPolicy.h"
#include "ShortcutNotation.h"

#include <QTest>

namespace {

using Error = PDFViewerShortcutValidationError;

// The outcome as the rules name it: "ok", "unsupportedKey", …
QString outcome(const std::optional<Error> &error)
{
    if (!error)
        return QStringLiteral("ok");
    const char *names[] = {"duplicate", "unsupportedKey", "unsupportedModifier", "missingPrimaryModifier", "reserved"};
    return QString::fromLatin1(names[int(error->kind())]);
}

} // namespace

class tst_PDFViewerShortcutPolicy : public QObject {
    Q_OBJECT

private slots:
    void basicChecks_data();
    void basicChecks();
    void fixedCommandsAreReserved();
};

void tst_PDFViewerShortcutPolicy::basicChecks_data()
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

void tst_PDFViewerShortcutPolicy::basicChecks()
{
    QFETCH(QString, notation);
    QFETCH(qint64, extraBits);
    QFETCH(QString, expected);
    QCOMPARE(outcome(PDFViewerShortcutPolicy::basicValidationError(sc(notation, extraBits))), expected);
}

void tst_PDFViewerShortcutPolicy::fixedCommandsAreReserved()
{
    QVERIFY(!PDFViewerFixedShortcuts::all().isEmpty());
    for (const PDFViewerShortcut &fixed : PDFViewerFixedShortcuts::all()) {
        QVERIFY2(outcome(PDFViewerShortcutPolicy::basicValidationError(fixed)) == QStringLiteral("reserved"),
            qPrintable(fixed.displayText()));
    }
}

QTEST_GUILESS_MAIN(tst_PDFViewerShortcutPolicy)
#include "tst_PDFViewerShortcutPolicy.moc"
