#include "PDFViewerFixedShortcuts.h"

namespace {

using Modifiers = PDFViewerShortcutModifiers;

PDFViewerShortcut ctrl(const char *key, Modifiers more = Modifiers())
{
    return PDFViewerShortcut(PDFViewerShortcutKey(QString::fromLatin1(key)), Modifiers::command | more);
}

} // namespace

namespace PDFViewerFixedShortcuts {

PDFViewerShortcut openPDF()
{
    return ctrl("o");
}

PDFViewerShortcut closePDF()
{
    return ctrl("w", Modifiers::shift);
}

PDFViewerShortcut shortcutSettings()
{
    return ctrl(",");
}

PDFViewerShortcut quit()
{
    return ctrl("q");
}

PDFViewerShortcut searchPDF()
{
    return ctrl("f");
}

PDFViewerShortcut help()
{
    // Recorded as the unshifted key, as every combination is: shift + "/" is "/", not "?".
    return ctrl("/", Modifiers::shift);
}

QList<PDFViewerShortcut> all()
{
    return {openPDF(), closePDF(), shortcutSettings(), quit(), searchPDF(), help()};
}

} // namespace PDFViewerFixedShortcuts
