#pragma once

#include <QString>

// Speaks a short message through the assistive technologies (screen readers) without moving
// the keyboard focus. UI thread only.
namespace PDFViewerAccessibilityAnnouncer {

// Posts an alert carrying `message` for the application; an empty message posts nothing.
void announce(const QString &message);

} // namespace PDFViewerAccessibilityAnnouncer
