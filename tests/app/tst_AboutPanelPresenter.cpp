#include "AboutPanelPresenter.h"

#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

// The credits as the label lays them out: one format per run of text.
QList<QTextFragment> fragmentsOf(QTextDocument &document, const QString &html)
{
    document.setHtml(html);
    QList<QTextFragment> fragments;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            fragments.append(it.fragment());
    }
    return fragments;
}

} // namespace

class tst_AboutPanelPresenter : public QObject {
    Q_OBJECT

private slots:
    void creditsAreSecondaryLinesThenTheLink();
};

// The lines in the palette's secondary colour (a dark desktop's, not a fixed one), then the
// link in its link colour. A build without version or number says so in the version line.
void tst_AboutPanelPresenter::creditsAreSecondaryLinesThenTheLink()
{
    QCOMPARE(AboutPanelPresenter::texts({}, {}, QPalette()).version, QStringLiteral("版本 开发版（—）"));
    QCOMPARE(AboutPanelPresenter::texts(QStringLiteral("1.2"), QStringLiteral("7"), QPalette()).version,
        QStringLiteral("版本 1.2（7）"));
    QPalette palette;
    palette.setColor(QPalette::PlaceholderText, QColor(0x20, 0x40, 0x60));
    palette.setColor(QPalette::Link, QColor(0x12, 0x34, 0xab));
    QTextDocument document;
    const QList<QTextFragment> fragments = fragmentsOf(document, AboutPanelPresenter::texts({}, {}, palette).credits);
    QCOMPARE(fragments.size(), 2);
    QCOMPARE(fragments.first().charFormat().foreground().color(), QColor(0x20, 0x40, 0x60));
    QVERIFY(fragments.last().charFormat().isAnchor());
    QCOMPARE(QUrl(fragments.last().charFormat().anchorHref()), AboutPanelPresenter::homePage());
    QCOMPARE(fragments.last().charFormat().foreground().color(), QColor(0x12, 0x34, 0xab));
}

QTEST_MAIN(tst_AboutPanelPresenter)
#include "tst_AboutPanelPresenter.moc"
