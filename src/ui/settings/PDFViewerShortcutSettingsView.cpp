#include "PDFViewerShortcutSettingsView.h"

#include "PDFViewerAccessibilityAnnouncer.h"
#include "PDFViewerDivider.h"
#include "PDFViewerPalette.h"
#include "PDFViewerShortcutSettingsRow.h"
#include "PDFViewerShortcutStore.h"
#include "PDFViewerStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

using Action = PDFViewerShortcutAction;

struct Group {
    const char *title;
    QList<Action> actions;
};

const QList<Group> &groups()
{
    static const QList<Group> list = {
        {"翻页", {Action::previousPage, Action::nextPage}},
        {"缩放", {Action::zoomOut, Action::zoomIn, Action::actualSize, Action::fitPage}},
        {"方向", {Action::rotateLeft, Action::rotateRight, Action::resetRotation}},
        {"投影", {Action::togglePresentation}},
    };
    return list;
}

// The rounded surface a group's rows sit on.
class Card : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.375, 0.375, -0.375, -0.375), 12, 12);
        painter.fillPath(shape, PDFViewerStyle::thinMaterial(palette()));
        painter.strokePath(shape, QPen(PDFViewerStyle::withOpacity(PDFViewerStyle::primary(palette()), 0.08), 0.75));
    }
};

class Footer : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), PDFViewerStyle::withOpacity(palette().color(QPalette::Base), 0.72));
    }
};

} // namespace

PDFViewerShortcutSettingsView::PDFViewerShortcutSettingsView(PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QWidget(parent)
    , m_shortcuts(shortcuts)
{
    setObjectName(QStringLiteral("pdf-shortcut-settings"));
    setFixedSize(fixedSize);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeHeader());
    column->addWidget(new PDFViewerDivider(this));
    column->addWidget(makeGroups(), 1);
    column->addWidget(new PDFViewerDivider(this));
    column->addWidget(makeFooter());

    connect(shortcuts, &PDFViewerShortcutStore::configurationChanged, this, &PDFViewerShortcutSettingsView::refresh);
    refresh();
}

QString PDFViewerShortcutSettingsView::hintText()
{
    return QStringLiteral("至少包含 Ctrl、Alt 或 Super · Esc 取消录制");
}

QWidget *PDFViewerShortcutSettingsView::makeHeader()
{
    auto *header = new QWidget(this);
    auto *title = new QLabel(QStringLiteral("自定义快捷键"), header);
    title->setFont(PDFViewerStyle::title2Font(QFont::Bold));
    auto *explanation
        = new QLabel(QStringLiteral("点右侧键帽，然后按下新的组合键。修改后立即生效，并自动写进帮助图。"), header);
    explanation->setFont(PDFViewerStyle::calloutFont());
    explanation->setWordWrap(true);
    PDFViewerStyle::setTextColor(explanation);
    auto *stack = new QVBoxLayout(header);
    stack->setContentsMargins(24, 22, 24, 16);
    stack->setSpacing(7);
    stack->addWidget(title);
    stack->addWidget(explanation);
    return header;
}

QWidget *PDFViewerShortcutSettingsView::makeGroups()
{
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("pdf-shortcut-groups"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from control to control; the area follows the focus rather than taking it.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *content = new QWidget(scroll);
    content->setAutoFillBackground(false);
    auto *stack = new QVBoxLayout(content);
    stack->setContentsMargins(24, 24, 24, 24);
    stack->setSpacing(18);
    for (const Group &group : groups()) {
        auto *title = new QLabel(QString::fromUtf8(group.title), content);
        title->setFont(PDFViewerStyle::captionFont(QFont::DemiBold));
        title->setContentsMargins(12, 0, 12, 7);
        PDFViewerStyle::setTextColor(title);
        auto *card = new Card(content);
        auto *rows = new QVBoxLayout(card);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(0);
        for (int i = 0; i < group.actions.size(); ++i) {
            const Action action = group.actions[i];
            auto *row = new PDFViewerShortcutSettingsRow(action, card);
            connect(row, &PDFViewerShortcutSettingsRow::shortcutRecorded, this,
                [this, action](const PDFViewerShortcut &shortcut) { recordShortcut(action, shortcut); });
            connect(row, &PDFViewerShortcutSettingsRow::recorderFeedback, this,
                [this, action](const QString &message) { showRecorderFeedback(action, message); });
            connect(
                row, &PDFViewerShortcutSettingsRow::resetRequested, this, [this, action] { resetShortcut(action); });
            m_rows.append(row);
            rows->addWidget(row);
            if (i + 1 < group.actions.size())
                rows->addWidget(new PDFViewerDivider(card, 12));
        }
        auto *block = new QVBoxLayout;
        block->setSpacing(0);
        block->addWidget(title);
        block->addWidget(card);
        stack->addLayout(block);
    }
    stack->addStretch(1);
    scroll->setWidget(content);
    scroll->viewport()->setAutoFillBackground(false);
    return scroll;
}

QWidget *PDFViewerShortcutSettingsView::makeFooter()
{
    auto *footer = new Footer(this);
    footer->setFixedHeight(54);
    m_footerLabel = new QLabel(footer);
    m_footerLabel->setObjectName(QStringLiteral("pdf-shortcuts-footer"));
    m_footerLabel->setFont(PDFViewerStyle::captionFont());
    m_resetAll = new QPushButton(QStringLiteral("恢复全部默认"), footer);
    m_resetAll->setObjectName(QStringLiteral("pdf-shortcuts-reset-all"));
    connect(m_resetAll, &QPushButton::clicked, this, &PDFViewerShortcutSettingsView::resetAllShortcuts);
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(24, 0, 24, 0);
    row->setSpacing(12);
    row->addWidget(m_footerLabel, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(m_resetAll, 0, Qt::AlignVCenter);
    return footer;
}

PDFViewerShortcutSettingsRow *PDFViewerShortcutSettingsView::row(PDFViewerShortcutAction action) const
{
    for (PDFViewerShortcutSettingsRow *row : m_rows) {
        if (row->action() == action)
            return row;
    }
    return nullptr;
}

void PDFViewerShortcutSettingsView::recordShortcut(PDFViewerShortcutAction action, const PDFViewerShortcut &shortcut)
{
    m_feedbackAction = action;
    const std::optional<PDFViewerShortcutValidationError> error = m_shortcuts->update(shortcut, action);
    setFeedback(action,
        error ? error->errorDescription()
              : QStringLiteral("已把“") + action.displayName() + QStringLiteral("”改为 ") + shortcut.displayText()
                + QStringLiteral("。"));
    PDFViewerAccessibilityAnnouncer::announce(m_feedbackText);
}

void PDFViewerShortcutSettingsView::showRecorderFeedback(PDFViewerShortcutAction action, const QString &message)
{
    // The recorder has spoken its own message already.
    setFeedback(action, message);
}

void PDFViewerShortcutSettingsView::resetShortcut(PDFViewerShortcutAction action)
{
    m_feedbackAction = action;
    const std::optional<PDFViewerShortcutValidationError> error = m_shortcuts->reset(action);
    setFeedback(action,
        error ? error->errorDescription()
              : QStringLiteral("已恢复“") + action.displayName() + QStringLiteral("”的默认快捷键。"));
    PDFViewerAccessibilityAnnouncer::announce(m_feedbackText);
}

void PDFViewerShortcutSettingsView::resetAllShortcuts()
{
    m_shortcuts->resetAll();
    setFeedback(std::nullopt, QStringLiteral("已恢复全部默认快捷键。"));
    PDFViewerAccessibilityAnnouncer::announce(m_feedbackText);
}

void PDFViewerShortcutSettingsView::setFeedback(std::optional<PDFViewerShortcutAction> action, const QString &text)
{
    m_feedbackAction = action;
    m_feedbackText = text;
    refresh();
}

void PDFViewerShortcutSettingsView::refresh()
{
    for (PDFViewerShortcutSettingsRow *row : std::as_const(m_rows)) {
        row->showShortcut(m_shortcuts->shortcut(row->action()));
        row->showMessage(m_feedbackAction == row->action() ? m_feedbackText : QString());
    }
    // The footer shows the hint, unless a message belongs to the whole window.
    const bool windowMessage = !m_feedbackAction && !m_feedbackText.isEmpty();
    m_footerLabel->setText(windowMessage ? m_feedbackText : hintText());
    PDFViewerStyle::setTextColor(m_footerLabel, windowMessage ? pdfBrandPurple : QColor());
    m_resetAll->setEnabled(!m_shortcuts->configuration().overrides().isEmpty());
}
