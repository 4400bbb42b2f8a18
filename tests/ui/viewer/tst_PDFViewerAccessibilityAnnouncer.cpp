#include "PDFViewerAccessibilityAnnouncer.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QtTest>

namespace {

int posted = 0;

void countEvent(QAccessibleEvent *)
{
    ++posted;
}

QString announcedText()
{
    QAccessibleInterface *alert
        = QAccessible::queryAccessibleInterface(PDFViewerAccessibilityAnnouncer::announcementSource());
    return alert ? alert->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

} // namespace

// Without a screen reader (as under the offscreen platform) Qt delivers no accessibility
// events, so these tests read what a listener would be handed: the alert element's text.
class tst_PDFViewerAccessibilityAnnouncer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QAccessible::installUpdateHandler(countEvent); }

    // Each message becomes the text of an invisible alert under the application; an empty
    // one changes nothing and posts no event.
    void messageBecomesTheAlertText()
    {
        PDFViewerAccessibilityAnnouncer::announce(QStringLiteral("已录制 Ctrl+1"));
        QCOMPARE(announcedText(), QStringLiteral("已录制 Ctrl+1"));
        QAccessibleInterface *alert
            = QAccessible::queryAccessibleInterface(PDFViewerAccessibilityAnnouncer::announcementSource());
        QCOMPARE(alert->role(), QAccessible::AlertMessage);
        QVERIFY(alert->state().invisible);
        QCOMPARE(alert->parent(), QAccessible::queryAccessibleInterface(qApp));
        PDFViewerAccessibilityAnnouncer::announce(QStringLiteral("已保存"));
        QCOMPARE(announcedText(), QStringLiteral("已保存"));
        const int before = posted;
        PDFViewerAccessibilityAnnouncer::announce(QString());
        QCOMPARE(announcedText(), QStringLiteral("已保存"));
        QCOMPARE(posted, before);
    }
};

QTEST_MAIN(tst_PDFViewerAccessibilityAnnouncer)
#include "tst_PDFViewerAccessibilityAnnouncer.moc"
