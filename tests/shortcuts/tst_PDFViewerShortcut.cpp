#include "PDFViewerShortcutAction.h"
#include "ShortcutNotation.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

class tst_PDFViewerShortcut : public QObject {
    Q_OBJECT

private slots:
    void actionsAndModifiers();
    void displayText_data();
    void displayText();
    void keys_data();
    void keys();
    void recordReading_data();
    void recordReading();
    void specialKeyCodes();
};

void tst_PDFViewerShortcut::actionsAndModifiers()
{
    QStringList rawValues;
    for (PDFViewerShortcutAction action : PDFViewerShortcutAction::allCases()) {
        rawValues.append(action.rawValue());
        QCOMPARE(PDFViewerShortcutAction::fromRawValue(action.rawValue()), action);
    }
    QCOMPARE(rawValues.join(u' '),
        QStringLiteral("previousPage nextPage zoomOut zoomIn actualSize fitPage "
                       "rotateLeft rotateRight resetRotation togglePresentation"));
    for (const char *near : {"zoomin", "ZoomIn", " zoomIn", "", "放大"})
        QVERIFY2(!PDFViewerShortcutAction::fromRawValue(QString::fromUtf8(near)), near);

    using M = PDFViewerShortcutModifiers;
    M set = M {M::control, M::command} ^ M { M::command, M::option };
    set.insert(M::shift);
    QCOMPARE(set.rawValue(), qint64(7));
    QVERIFY(M::option.isSubset(set) && !set.isSubset(M::option) && set.isDisjoint(M::command));

    const QSet<PDFViewerShortcut> shortcuts {sc("⌘F"), sc("⌘f"), sc("⌃⌘f"), sc("⌘f", 16)};
    QCOMPARE(shortcuts.size(), 3); // equality and hashing: normalised key, raw modifiers
}

void tst_PDFViewerShortcut::displayText_data()
{
    QTest::addColumn<qint64>("modifiers");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, qint64 modifiers, const QString &key, const char *expected) {
        QTest::newRow(name) << modifiers << key << QString::fromUtf8(expected);
    };
    // Stored bits: control 1 is Super, option 2 is Alt, shift 4 is Shift, command 8 is Ctrl.
    row("command", 8, QStringLiteral("o"), "Ctrl+O");
    row("option with an arrow", 2, ch(0xF700), "Alt+↑");
    row("command shift", 12, QStringLiteral("w"), "Ctrl+Shift+W");
    row("option minus keeps U+2212", 2, QStringLiteral("-"), "Alt+\u2212");
    row("control shift: Shift before Super", 5, ch(0xF708), "Shift+Super+F5");
    row("all four in order", 15, ch(0xF704), "Ctrl+Alt+Shift+Super+F1");
    row("other bits show nothing", 16 | 8, QStringLiteral("1"), "Ctrl+1");
    row("every bit", -1, QStringLiteral("a"), "Ctrl+Alt+Shift+Super+A");
    row("modifiers without a key", 6, QString(), "Alt+Shift+");
    row("nothing", 16, QString(), "");
}

void tst_PDFViewerShortcut::displayText()
{
    QFETCH(qint64, modifiers);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(
        PDFViewerShortcut(PDFViewerShortcutKey(key), PDFViewerShortcutModifiers(modifiers)).displayText(), expected);
}

void tst_PDFViewerShortcut::keys_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("rawValue");
    QTest::addColumn<QString>("displayText");
    const auto row = [](const char *name, const QString &input, const QString &raw, const QString &display) {
        QTest::newRow(name) << input << raw << display;
    };
    row("capital F", QStringLiteral("F"), QStringLiteral("f"), QStringLiteral("F"));
    row("Z ends the range", QStringLiteral("Z"), QStringLiteral("z"), QStringLiteral("Z"));
    row("[ follows Z", QStringLiteral("["), QStringLiteral("["), QStringLiteral("["));
    row("É is not ASCII", ch(0xC9), ch(0xC9), ch(0xC9));
    row("é shows upper case", ch(0xE9), ch(0xE9), ch(0xC9));
    row("two letters", QStringLiteral("FF"), QStringLiteral("FF"), QStringLiteral("FF"));
    row("empty", QString(), QString(), QString());
    row("minus shows U+2212", QStringLiteral("-"), QStringLiteral("-"), ch(0x2212));
    row("F1", ch(0xF704), ch(0xF704), QStringLiteral("F1"));
    row("F12", ch(0xF70F), ch(0xF70F), QStringLiteral("F12"));
    row("F13 is not special", ch(0xF710), ch(0xF710), ch(0xF710));
    row("up", ch(0xF700), ch(0xF700), QStringLiteral("↑"));
    row("right", ch(0xF703), ch(0xF703), QStringLiteral("→"));
    row("return", QStringLiteral("\r"), QStringLiteral("\r"), QStringLiteral("Return"));
    row("delete", ch(0x7F), ch(0x7F), QStringLiteral("Delete"));
}

void tst_PDFViewerShortcut::keys()
{
    QFETCH(QString, input);
    QFETCH(QString, rawValue);
    QFETCH(QString, displayText);
    const PDFViewerShortcutKey key(input);
    QCOMPARE(key.rawValue(), rawValue);
    QCOMPARE(key.displayText(), displayText);
    QCOMPARE(PDFViewerShortcut(key, PDFViewerShortcutModifiers(5)).displayText(),
        QStringLiteral("Shift+Super+") + displayText);
}

void tst_PDFViewerShortcut::recordReading_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected"); // raw key and modifiers as written back; empty: unreadable
    QTest::newRow("capital F reads back f")
        << QByteArray(R"({"key":"F","modifiers":8})") << QStringLiteral(R"({"key":"f","modifiers":8})");
    QTest::newRow("negative modifiers, other members") << QByteArray(
        R"({"x":1,"modifiers":-1,"key":"\uf708"})") << QStringLiteral(R"({"key":"%1","modifiers":-1})").arg(ch(0xF708));
    QTest::newRow("missing modifiers") << QByteArray(R"({"key":"a"})") << QString();
    QTest::newRow("modifiers as a string") << QByteArray(R"({"key":"a","modifiers":"8"})") << QString();
    QTest::newRow("fractional modifiers") << QByteArray(R"({"key":"a","modifiers":2.5})") << QString();
    QTest::newRow("modifiers beyond 64 bits") << QByteArray(R"({"key":"a","modifiers":1e19})") << QString();
    QTest::newRow("missing key") << QByteArray(R"({"modifiers":8})") << QString();
    QTest::newRow("key as a number") << QByteArray(R"({"key":5,"modifiers":8})") << QString();
}

void tst_PDFViewerShortcut::recordReading()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    const std::optional<PDFViewerShortcut> read = PDFViewerShortcut::fromJSON(QJsonDocument::fromJson(json).object());
    QCOMPARE(
        read ? QString::fromUtf8(QJsonDocument(read->toJSON()).toJson(QJsonDocument::Compact)) : QString(), expected);
}

void tst_PDFViewerShortcut::specialKeyCodes()
{
    const QList<int> codes = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 126, 125, 123, 124};
    for (int i = 0; i < codes.size(); ++i) // F1…F12, then ↑ ↓ ← →: U+F704…U+F70F, U+F700…U+F703
        QCOMPARE(PDFViewerShortcutKey::fromSpecialKeyCode(quint16(codes[i]))->rawValue(),
            ch(char16_t(i < 12 ? 0xF704 + i : 0xF700 + i - 12)));
    for (int code = 0; code <= 65535; ++code)
        QVERIFY(codes.contains(code) || !PDFViewerShortcutKey::fromSpecialKeyCode(quint16(code)));
}

QTEST_GUILESS_MAIN(tst_PDFViewerShortcut)
#include "tst_PDFViewerShortcut.moc"
