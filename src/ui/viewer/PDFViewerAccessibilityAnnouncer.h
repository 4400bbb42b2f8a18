#pragma once

#include <QString>

class QObject;

// Speaks a short message through the assistive technologies (screen readers) without moving
// the keyboard focus. UI thread only.
namespace PDFViewerAccessibilityAnnouncer {

// Posts an alert carrying `message` for the application, and shows the alert element for the
// AT-SPI bus, which passes no alert events on; an empty message posts nothing.
void announce(const QString &message);

// The object the alerts are posted for; its accessible interface is an invisible alert
// element whose name is the last message announced. Nothing is delivered while no assistive
// technology is listening (QAccessible::isActive() is false).
QObject *announcementSource();

} // namespace PDFViewerAccessibilityAnnouncer
