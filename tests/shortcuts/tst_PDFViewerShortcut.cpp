#include "PDFViewerShortcutAction.h"
#include "ShortcutNotation.h"

#include <QSet>
#include <QTest>

class tst_PDFViewerShortcut : public QObject {
    Q_OBJECT

private slots:
    void namesAndEquality();
    void keys_data();
    void keys();
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

QTEST_GUILESS_MAIN(tst_PDFViewerShortcut)
#include "tst_PDFViewerShortcut.moc"
