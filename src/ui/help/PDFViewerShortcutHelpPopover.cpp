#include "PDFViewerShortcutHelpPopover.h"

#include "PDFViewerDivider.h"
#include "PDFViewerLinkButton.h"
#include "PDFViewerShortcutHelpCardView.h"
#include "PDFViewerShortcutHelpRenderer.h"
#include "PDFViewerShortcutStore.h"
#include "PDFViewerStyle.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr int kButtonBarHeight = 54;
constexpr int kButtonBarPadding = 16;
constexpr int kButtonSpacing = 10;

void setTitle(QAbstractButton *button, const QString &title)
{
    button->setText(title);
    button->setAccessibleName(title);
}

} // namespace

PDFViewerShortcutHelpPopover::PDFViewerShortcutHelpPopover(
    PDFViewerShortcutStore *shortcuts, URLOpener openURL, QWidget *parent)
    : QWidget(parent)
    , m_shortcuts(shortcuts)
    , m_openURL(openURL ? std::move(openURL) : [](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("pdf-help"));
    setFixedSize(fixedSize);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(new PDFViewerShortcutHelpCardView(shortcuts, this));
    column->addWidget(new PDFViewerDivider(this));
    column->addWidget(makeButtonBar());

    // Anywhere in the window, whichever control has the focus.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &PDFViewerShortcutHelpPopover::dismissRequested);
}

QUrl PDFViewerShortcutHelpPopover::websiteURL()
{
    return QUrl(QStringLiteral("https://plenvo.org/pdf/"));
}

QWidget *PDFViewerShortcutHelpPopover::makeButtonBar()
{
    auto *bar = new QWidget(this);
    bar->setFixedHeight(kButtonBarHeight);
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::Window);

    auto *customize = new QPushButton(bar);
    customize->setObjectName(QStringLiteral("pdf-help-customize-shortcuts"));
    setTitle(customize, QStringLiteral("自定义快捷键…"));
    connect(customize, &QPushButton::clicked, this, &PDFViewerShortcutHelpPopover::customizeShortcuts);

    m_copy = new QPushButton(bar);
    m_copy->setObjectName(QStringLiteral("pdf-help-copy-image"));
    setTitle(m_copy, QStringLiteral("复制帮助图"));
    connect(m_copy, &QPushButton::clicked, this, &PDFViewerShortcutHelpPopover::copyImage);

    auto *website = new PDFViewerLinkButton(QString(), bar);
    website->setObjectName(QStringLiteral("pdf-help-open-website"));
    website->setFont(PDFViewerStyle::bodyFont());
    setTitle(website, QStringLiteral("打开官网"));
    connect(website, &QAbstractButton::clicked, this, &PDFViewerShortcutHelpPopover::openWebsite);

    auto *close = new QPushButton(bar);
    close->setObjectName(QStringLiteral("pdf-help-close"));
    setTitle(close, QStringLiteral("关闭"));
    connect(close, &QPushButton::clicked, this, &PDFViewerShortcutHelpPopover::dismissRequested);

    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(kButtonBarPadding, 0, kButtonBarPadding, 0);
    row->setSpacing(kButtonSpacing);
    row->addWidget(customize, 0, Qt::AlignVCenter);
    row->addWidget(m_copy, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(website, 0, Qt::AlignVCenter);
    row->addWidget(close, 0, Qt::AlignVCenter);
    return bar;
}

void PDFViewerShortcutHelpPopover::copyImage()
{
    const bool copied = PDFViewerShortcutHelpRenderer::copyToPasteboard(m_shortcuts->configuration());
    setTitle(m_copy, copied ? QStringLiteral("已复制 ✓") : QStringLiteral("复制失败"));
}

void PDFViewerShortcutHelpPopover::openWebsite()
{
    emit dismissRequested();
    const QUrl url = websiteURL();
    if (url.isValid())
        m_openURL(url);
}

void PDFViewerShortcutHelpPopover::customizeShortcuts()
{
    emit dismissRequested();
    emit shortcutSettingsRequested();
}
