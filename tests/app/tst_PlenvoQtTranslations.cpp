#include "PlenvoQtTranslations.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QtTest>

class tst_PlenvoQtTranslations : public QObject {
    Q_OBJECT

private slots:
    void qtSpeaksChinese();
};

void tst_PlenvoQtTranslations::qtSpeaksChinese()
{
    const QString catalogue = PlenvoQtTranslations::directory() + QLatin1Char('/')
        + PlenvoQtTranslations::catalogueName() + QStringLiteral(".qm");
    if (!QFileInfo::exists(catalogue))
        QSKIP("Qt's Chinese catalogue is not installed (Debian: qt6-translations-l10n)");

    QVERIFY(PlenvoQtTranslations::install(qApp));
    QCOMPARE(QLocale().name(), QStringLiteral("zh_CN"));
    QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("文件名称(&N)："));
}

QTEST_MAIN(tst_PlenvoQtTranslations)
#include "tst_PlenvoQtTranslations.moc"
