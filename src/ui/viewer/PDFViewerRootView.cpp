#include "PDFViewerRootView.h"

#include "PDFViewerModel.h"
#include "PDFViewerShortcutStore.h"

#include <limits>

PDFViewerRootView::PDFViewerRootView(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QWidget(parent)
{
    Q_UNUSED(model);
    Q_UNUSED(shortcuts);
    setMinimumSize(920, 620);
}

PDFViewerRootView::~PDFViewerRootView() = default;

void PDFViewerRootView::focusSearchField() { }

std::optional<qint64> PDFViewerRootView::parsePageNumber(const QString &text)
{
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulated towards the sign's side so that the minimum value parses too.
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (negative) {
            if (value < (std::numeric_limits<qint64>::min() + digit) / 10)
                return std::nullopt;
            value = value * 10 - digit;
        } else {
            if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
        }
    }
    return value;
}
