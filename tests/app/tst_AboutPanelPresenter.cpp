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
    QCOMPARE(texts.applicationVersion, applicationVersion);
    QCOMPARE(texts.version, version);
}

// The two lines in the secondary colour, then the link in the link colour; an address that
// cannot be formed drops only the link.
void tst_AboutPanelPresenter::creditsAreSecondaryLinesThenTheLink()
{
    const QList<Fragment> fragments = fragmentsOf(AboutPanelPresenter::texts({}, {}, markedPalette()).credits);
    QCOMPARE(fragments.size(), 2);
    QCOMPARE(fragments.first().format.foreground().color(), QColor(0x20, 0x40, 0x60));
    QVERIFY(fragments.last().format.isAnchor());
    QCOMPARE(QUrl(fragments.last().format.anchorHref()), AboutPanelPresenter::homePage());
    QCOMPARE(fragments.last().format.foreground().color(), QColor(0x12, 0x34, 0xab));
    const QList<Fragment> withoutLink
        = fragmentsOf(AboutPanelPresenter::texts({}, {}, markedPalette(), QUrl(QStringLiteral("http://[::1"))).credits);
    QCOMPARE(withoutLink.size(), 1);
    QCOMPARE(withoutLink.first().text, fragments.first().text);
}

QTEST_MAIN(tst_AboutPanelPresenter)
#include "tst_AboutPanelPresenter.moc"
