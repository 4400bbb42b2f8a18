#include "AboutPanelPresenter.h"

#include <QPalette>
#include <QtTest>

class tst_AboutPanelPresenter : public QObject {
    Q_OBJECT

private slots:
    void versionLineAndLink();
};

// A build without version or number says so in the version line; the credits end with the link
// to the home page.
void tst_AboutPanelPresenter::versionLineAndLink()
{
    QCOMPARE(AboutPanelPresenter::texts({}, {}, QPalette()).version, QStringLiteral("版本 开发版（—）"));
    const AboutPanelPresenter::Texts texts = AboutPanelPresenter::texts(QStringLiteral("1.2"), QStringLiteral("7"), {});
    QCOMPARE(texts.version, QStringLiteral("版本 1.2（7）"));
    QVERIFY(texts.credits.contains(AboutPanelPresenter::homePage().toString(QUrl::FullyEncoded)));
}

QTEST_MAIN(tst_AboutPanelPresenter)
#include "tst_AboutPanelPresenter.moc"
