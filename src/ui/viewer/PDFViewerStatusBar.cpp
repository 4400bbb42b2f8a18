#include "PDFViewerStatusBar.h"

#include "PDFViewerElidedLabel.h"
#include "PDFViewerHelpButton.h"
#include "PDFViewerModel.h"
#include "PDFViewerShortcutStore.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbolView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

PDFViewerStatusBar::PDFViewerStatusBar(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_shortcuts(shortcuts)
    , m_icon(new PDFViewerSymbolView(QStringLiteral("doc.text"), 13, QColor(), PDFViewerSymbol::Weight::Regular, this))
    , m_status(new PDFViewerElidedLabel(this))
    , m_hint(new QLabel(this))
    , m_help(new PDFViewerHelpButton(this))
{
    setObjectName(QStringLiteral("pdf-status-bar"));
    setFixedHeight(28);
    setFont(PDFViewerStyle::captionFont());
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 0, 12, 0);
    row->setSpacing(8);

    m_icon->setObjectName(QStringLiteral("pdf-status-icon"));
    m_status->setObjectName(QStringLiteral("pdf-status-text"));
    m_hint->setObjectName(QStringLiteral("pdf-status-hint"));
    m_hint->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    row->addWidget(m_icon, 0, Qt::AlignVCenter);
    // The status text gives way first when the window is narrow; the hint keeps its length.
    row->addWidget(m_status, 1);
    row->addWidget(m_hint);
    row->addWidget(m_help, 0, Qt::AlignVCenter);

    connect(m_help, &QAbstractButton::clicked, this, &PDFViewerStatusBar::helpRequested);
    connect(model, &PDFViewerModel::statusTextChanged, this, &PDFViewerStatusBar::refresh);
    connect(model, &PDFViewerModel::errorTextChanged, this, &PDFViewerStatusBar::refresh);
    connect(model, &PDFViewerModel::pageCountChanged, this, &PDFViewerStatusBar::refresh);
    connect(shortcuts, &PDFViewerShortcutStore::configurationChanged, this, &PDFViewerStatusBar::refresh);
    refresh();
}

QString PDFViewerStatusBar::hintText() const
{
    const QString separator = QStringLiteral("  ·  ");
    return QStringLiteral("滚轮缩放") + separator + QStringLiteral("按住拖动") + separator
        + m_shortcuts->shortcut(PDFViewerShortcutAction::actualSize).displayText() + QStringLiteral(" 实际大小")
        + separator + m_shortcuts->shortcut(PDFViewerShortcutAction::togglePresentation).displayText()
        + QStringLiteral(" 投影");
}

void PDFViewerStatusBar::refresh()
{
    const QPalette base = palette();
    // The warning belongs to the error message; once another command's status has replaced
    // that message, the icon goes too, although the model keeps the error.
    const bool showsError = m_model->hasError() && m_model->statusText() == m_model->errorText();
    if (showsError)
        m_icon->setSymbol(QStringLiteral("exclamationmark.triangle.fill"), PDFViewerStyle::warning());
    else
        m_icon->setSymbol(QStringLiteral("doc.text"), PDFViewerStyle::secondary(base));
    PDFViewerStyle::setTextColor(m_hint, PDFViewerStyle::tertiary(base));
    m_status->setText(m_model->statusText());
    m_hint->setText(hintText());
    m_hint->setVisible(m_model->pageCount() >= 1);
}

void PDFViewerStatusBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        refresh();
    QWidget::changeEvent(event);
}

void PDFViewerStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), PDFViewerStyle::withOpacity(palette().color(QPalette::Base), 0.72));
}
