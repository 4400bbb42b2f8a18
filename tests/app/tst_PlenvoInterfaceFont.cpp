#include "PDFViewerStyle.h"
#include "PlenvoInterfaceFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QtTest>

class tst_PlenvoInterfaceFont : public QObject {
    Q_OBJECT

public:
    // The fault shows under a locale that says nothing about Chinese, whatever the locale of
    // the machine running the tests.
    static void initMain()
    {
        qputenv("LC_ALL", "C.UTF-8");
        qunsetenv("FC_LANG");
    }

private slots:
    void initTestCase();
    void punctuationIsFullWidth();

private:
    qreal m_defaultPointSize = 0;
};

void tst_PlenvoInterfaceFont::initTestCase()
{
    if (!QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK SC")))
        QSKIP("Noto Sans CJK SC is not installed (Debian: fonts-noto-cjk)");
    QLocale::setDefault(QLocale::c());
    m_defaultPointSize = QApplication::font().pointSizeF();
    PlenvoInterfaceFont::install();
}

// Quotation marks and full-width forms take the advance of a Han character, in the application
// font and in the text styles the chrome builds from it, which keep the default point size.
void tst_PlenvoInterfaceFont::punctuationIsFullWidth()
{
    const QChar han(0x4E2D); // 中
    for (const QFont &font : {QApplication::font(), PDFViewerStyle::captionFont()}) {
        const QFontMetricsF metrics(font);
        for (const QChar mark : {QChar(0x201C), QChar(0xFF0C)}) // “ and ，
            QCOMPARE(metrics.horizontalAdvance(mark), metrics.horizontalAdvance(han));
    }
    QCOMPARE(QApplication::font().pointSizeF(), m_defaultPointSize);
}

QTEST_MAIN(tst_PlenvoInterfaceFont)
#include "tst_PlenvoInterfaceFont.moc"
