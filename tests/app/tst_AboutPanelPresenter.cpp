#include "AboutPanelPresenter.h"

#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

// Distinct colours for every role the credits could take by mistake.
QPalette markedPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0xff, 0xff, 0xff));
    palette.setColor(QPalette::WindowText, QColor(0x01, 0x02, 0x03));
    palette.setColor(QPalette::Text, QColor(0x04, 0x05, 0x06));
    palette.setColor(QPalette::PlaceholderText, QColor(0x20, 0x40, 0x60));
    palette.setColor(QPalette::Link, QColor(0x12, 0x34, 0xab));
    return palette;
}

struct Fragment {
    QString text;
    QTextCharFormat format;
};

QList<Fragment> fragmentsOf(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    QList<Fragment> fragments;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            fragments.append({it.fragment().text(), it.fragment().charFormat()});
    }
    return fragments;
}

} // namespace

class tst_AboutPanelPresenter : public QObject {
    Q_OBJECT

private slots:
    void versionTexts_data();
    void versionTexts();
    void creditsAreSecondaryLinesThenTheLink();
};

void tst_AboutPanelPresenter::versionTexts_data()
{
    QTest::addColumn<QString>("shortVersion");
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("applicationVersion");
    QTest::addColumn<QString>("version");
    QTest::newRow("neither") << QString() << QString() << QStringLiteral("开发版")
                             << QStringLiteral("版本 开发版（—）");
    QTest::newRow("both") << QStringLiteral("1.2") << QStringLiteral("7") << QStringLiteral("1.2")
                          << QStringLiteral("版本 1.2（7）");
    QTest::newRow("version only") << QStringLiteral("0.1.0") << QString() << QStringLiteral("0.1.0")
                                  << QStringLiteral("版本 0.1.0（—）");
    QTest::newRow("build only") << QString() << QStringLiteral("42") << QStringLiteral("开发版")
                                << QStringLiteral("版本 开发版（42）");
}

void tst_AboutPanelPresenter::versionTexts()
{
    QFETCH(QString, shortVersion);
    QFETCH(QString, build);
    QFETCH(QString, applicationVersion);
    QFETCH(QString, version);
    const AboutPanelPresenter::Texts texts = AboutPanelPresenter::texts(shortVersion, build, markedPalette());
    QCOMPARE(texts.applicationName, QStringLiteral("Plenvo"));
    QCOMPARE(texts.applicationVersion, applicationVersion);
    QCOMPARE(texts.version, version);
}

void tst_AboutPanelPresenter::creditsAreSecondaryLinesThenTheLink()
{
    QList<Fragment> fragments = fragmentsOf(AboutPanelPresenter::texts({}, {}, markedPalette()).credits);
    QCOMPARE(fragments.size(), 2);
    // The two lines, each ended by a line break, then an empty line. A copy: `fragments` is
    // reassigned below and the lines are compared again after that.
    const Fragment lines = fragments.first();
    QCOMPARE(lines.text, QStringLiteral("大图纸 PDF 查看器\u2028所有文档只在本机处理\u2028"));
    QCOMPARE(lines.format.foreground().color(), QColor(0x20, 0x40, 0x60));
    QCOMPARE(lines.format.property(QTextFormat::FontPixelSize).toInt(), 12);

    const Fragment &link = fragments.last();
    QVERIFY(link.format.isAnchor());
    QCOMPARE(QUrl(link.format.anchorHref()), AboutPanelPresenter::homePage());
    QVERIFY(link.format.fontUnderline());
    QCOMPARE(link.format.foreground().color(), QColor(0x12, 0x34, 0xab));
    QCOMPARE(link.format.property(QTextFormat::FontPixelSize).toInt(), 12);
    QCOMPARE(link.format.fontWeight(), int(QFont::Medium));

    // An address that cannot be formed drops only the link line.
    fragments
        = fragmentsOf(AboutPanelPresenter::texts({}, {}, markedPalette(), QUrl(QStringLiteral("http://[::1"))).credits);
    QCOMPARE(fragments.size(), 1);
    QCOMPARE(fragments.first().text, lines.text);
}

QTEST_MAIN(tst_AboutPanelPresenter)
#include "tst_AboutPanelPresenter.moc"
