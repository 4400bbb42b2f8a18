#include "PDFViewerShortcutSettingsRow.h"

#include "PDFShortcutRecorderButton.h"
#include "PDFViewerAccessibilityAnnouncer.h"
#include "PDFViewerLinkButton.h"
#include "PDFViewerShortcut.h"
#include "PDFViewerShortcutPolicy.h"
#include "PDFViewerStyle.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kPadding = 12;
constexpr int kMinimumLineHeight = 47;
constexpr QSize kRecorderSize {142, 30};

} // namespace

PDFViewerShortcutSettingsRow::PDFViewerShortcutSettingsRow(PDFViewerShortcutAction action, QWidget *parent)
    : QWidget(parent)
    , m_action(action)
    , m_name(new QLabel(action.displayName(), this))
    , m_default(new QLabel(this))
    , m_reset(new PDFViewerLinkButton(QStringLiteral("恢复"), this))
    , m_recorder(new PDFShortcutRecorderButton(this))
    , m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("pdf-shortcut-row-") + action.rawValue());
    m_name->setFont(PDFViewerStyle::bodyFont(QFont::Medium));
    m_default->setFont(PDFViewerStyle::caption2Font());
    PDFViewerStyle::setTextColor(m_default);
    m_reset->setObjectName(QStringLiteral("pdf-shortcut-reset-") + action.rawValue());
    m_reset->setAccessibleName(QStringLiteral("恢复“") + action.displayName() + QStringLiteral("”默认快捷键"));
    m_recorder->setObjectName(QStringLiteral("pdf-shortcut-recorder-") + action.rawValue());
    m_recorder->setFixedSize(kRecorderSize);
    m_recorder->setActionName(action.displayName());
    m_recorder->setAnnouncer(&PDFViewerAccessibilityAnnouncer::announce);
    m_message->setFont(PDFViewerStyle::captionFont());
    m_message->setWordWrap(true);
    m_message->setContentsMargins(kPadding, 0, kPadding, 9);
    m_message->hide();

    auto *names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(m_name);
    names->addWidget(m_default);
    auto *line = new QHBoxLayout;
    line->setContentsMargins(kPadding, 0, kPadding, 0);
    line->setSpacing(12);
    line->addLayout(names);
    line->addStretch(1);
    line->addWidget(m_reset, 0, Qt::AlignVCenter);
    line->addWidget(m_recorder, 0, Qt::AlignVCenter);
    auto *lineHost = new QWidget(this);
    lineHost->setMinimumHeight(kMinimumLineHeight);
    lineHost->setLayout(line);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(lineHost);
    column->addWidget(m_message);

    connect(m_recorder, &PDFShortcutRecorderButton::shortcutRecorded, this,
        &PDFViewerShortcutSettingsRow::shortcutRecorded);
    connect(m_recorder, &PDFShortcutRecorderButton::feedback, this, &PDFViewerShortcutSettingsRow::recorderFeedback);
    connect(m_reset, &QAbstractButton::clicked, this, &PDFViewerShortcutSettingsRow::resetRequested);
    showShortcut(PDFViewerShortcutPolicy::shortcut(action).shortcut);
}

void PDFViewerShortcutSettingsRow::showShortcut(const PDFViewerShortcut &shortcut)
{
    const PDFViewerShortcut standard = PDFViewerShortcutPolicy::shortcut(m_action).shortcut;
    const bool customised = shortcut != standard;
    m_recorder->setDisplayText(shortcut.displayText());
    m_default->setText(QStringLiteral("默认：") + standard.displayText());
    m_default->setVisible(customised);
    m_reset->setVisible(customised);
}

bool PDFViewerShortcutSettingsRow::isSuccess(const QString &text)
{
    return text.startsWith(QStringLiteral("已"));
}

void PDFViewerShortcutSettingsRow::showMessage(const QString &text)
{
    m_message->setText(text);
    m_message->setAccessibleName(text);
    PDFViewerStyle::setTextColor(m_message, isSuccess(text) ? QColor() : PDFViewerStyle::warning());
    m_message->setVisible(!text.isEmpty());
}
