#include "PDFViewerAccessibilityAnnouncer.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVariant>

namespace PDFViewerAccessibilityAnnouncer {

namespace {

const char kMessageProperty[] = "message";
const char kSourceName[] = "pdf-accessibility-announcement";

// A childless alert element under the application's accessible root.
class AnnouncementInterface : public QAccessibleInterface {
public:
    explicit AnnouncementInterface(QObject *source)
        : m_source(source)
    {
    }

    bool isValid() const override { return !m_source.isNull(); }
    QObject *object() const override { return m_source; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_source->property(kMessageProperty).toString() : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::AlertMessage; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }

private:
    QPointer<QObject> m_source;
};

QAccessibleInterface *interfaceFactory(const QString &, QObject *object)
{
    if (object && object->objectName() == QLatin1String(kSourceName)
        && object->parent() == QCoreApplication::instance())
        return new AnnouncementInterface(object);
    return nullptr;
}

} // namespace

// Assistive technologies read an alert's text from the accessible name of its source.
QObject *announcementSource()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // Owned by the application object; made again should that be replaced.
    static QPointer<QObject> source;
    if (!source) {
        source = new QObject(QCoreApplication::instance());
        source->setObjectName(QLatin1String(kSourceName));
    }
    return source;
}

void announce(const QString &message)
{
    if (message.isEmpty())
        return;
    QObject *source = announcementSource();
    source->setProperty(kMessageProperty, message);
    QAccessibleEvent alert(source, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    // Qt's AT-SPI bridge drops alert events; screen readers there speak an alert element that
    // is shown, which it passes on as "object:state-changed:showing".
    QAccessibleEvent shown(source, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace PDFViewerAccessibilityAnnouncer
