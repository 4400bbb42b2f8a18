#include "PDFViewerFixedShortcuts.h"
#include "PDFViewerShortcutConfiguration.h"
#include "PDFViewerShortcutPolicy.h"
#include "ShortcutNotation.h"

#include <QRegularExpression>
#include <QTest>

namespace {

using Action = PDFViewerShortcutAction;
using Error = PDFViewerShortcutValidationError;

// The outcome as the rules name it: "ok", "unsupportedKey", "duplicate(previousPage)", …
QString outcome(const std::optional<Error> &error)
{
    if (!error)
        return QStringLiteral("ok");
    const char *names[] = {"duplicate", "unsupportedKey", "unsupportedModifier", "missingPrimaryModifier", "reserved"};
    const QString name = QString::fromLatin1(names[int(error->kind())]);
    return error->kind() == Error::Kind::duplicate ? name + u'(' + error->action().rawValue() + u')' : name;
}

} // namespace

class tst_PDFViewerShortcutPolicy : public QObject {
    Q_OBJECT

private slots:
    void basicChecks_data();
    void basicChecks();
    void duplicatesAgainstEffectiveShortcuts();
    void fixedCommandsAreReserved();
};

void tst_PDFViewerShortcutPolicy::basicChecks_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<qint64>("extraBits");
    QTest::addColumn<QString>("expected");
    const auto row = [](const QString &notation, const char *expected, qint64 extraBits = 0) {
        QString name = sc(notation).displayText(); // unprintable keys by code point, extra bits by value
        for (QChar c : sc(notation).key().isSpecial() ? QString() : sc(notation).key().rawValue()) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                name += QStringLiteral(" U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
        if (extraBits)
            name += QStringLiteral(" bits %1").arg(extraBits);
        QTest::addRow("%s", qPrintable(name)) << notation << extraBits << QString::fromLatin1(expected);
    };
    // Primary modifiers
    for (const char *ok : {"⌥a", "⌃⇧a", "⌘F5", "⌃⌥⇧⌘~", "⌥Tab", "⌥Return"})
        row(QString::fromUtf8(ok), "ok");
    for (const char *missing : {"⇧a", "a", "F5", "⇧↑"})
        row(QString::fromUtf8(missing), "missingPrimaryModifier");
    // Keys
    for (const QString &key : {QStringLiteral("ab"), QString(), ch(0xE9), QStringLiteral("e\u0301"), ch(0xF728),
             ch(0xF710), ch(0x1B), ch(0x1F), ch(0x03)})
        row(QStringLiteral("⌘") + key, "unsupportedKey");
    // Order of the checks: key, then modifier range, then primary modifier, then reserved.
    row(QStringLiteral("ab"), "unsupportedKey", 16);
    row(QStringLiteral("⇧a"), "unsupportedModifier", 16);
    row(QStringLiteral("a"), "unsupportedModifier", -1);
    row(QStringLiteral("⇧q"), "missingPrimaryModifier");
    // Every reserved row, then near misses.
    const QString reserved[] = {QStringLiteral("⌃ \uF700\uF701\uF702\uF703"), QStringLiteral("⌘acfhmoqvwxz,` \t"),
        QStringLiteral("⌃⌘fq"), QStringLiteral("⌥⌘dh"), QStringLiteral("⇧⌘/345`wz")};
    for (const QString &table : reserved) {
        const qsizetype keys = table.indexOf(QRegularExpression(QStringLiteral("[^⌃⌥⇧⌘]")));
        for (QChar key : table.mid(keys))
            row(table.left(keys) + key, "reserved");
    }
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

void tst_PDFViewerShortcutPolicy::duplicatesAgainstEffectiveShortcuts()
{
    const auto check = [](const PDFViewerShortcutConfiguration &c, const char *notation, Action action) {
        return outcome(PDFViewerShortcutPolicy::validationError(sc(notation), action, c));
    };
    const PDFViewerShortcutConfiguration none;
    const PDFViewerShortcutConfiguration moved({{QStringLiteral("previousPage"), sc("⌘1")}});
    QCOMPARE(check(none, "⌥[", Action::zoomIn), QStringLiteral("duplicate(previousPage)"));
    QCOMPARE(check(moved, "⌥[", Action::zoomIn), QStringLiteral("ok")); // the owner moved away
    QCOMPARE(check(moved, "⌘1", Action::zoomIn), QStringLiteral("duplicate(previousPage)"));
    QCOMPARE(check(moved, "⌘1", Action::previousPage), QStringLiteral("ok")); // its own current
    QCOMPARE(check(moved, "⌥[", Action::previousPage), QStringLiteral("ok")); // its own default
    QCOMPARE(check(none, "⇧[", Action::zoomIn), QStringLiteral("missingPrimaryModifier"));
    const PDFViewerShortcutConfiguration twice({{QStringLiteral("fitPage"), sc("⌘9")},
        {QStringLiteral("nextPage"), sc("⌘9")}, {QStringLiteral("x"), sc("⌘9")}});
    QCOMPARE(check(twice, "⌘9", Action::zoomIn), QStringLiteral("duplicate(nextPage)")); // first in action order
}

// No customisable action may take a key the application's own menu commands hold.
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
