#include "PDFViewerToolbar.h"

#include "PDFToolbarButton.h"
#include "PDFToolbarGroup.h"
#include "PDFViewerCommands.h"
#include "PDFViewerFixedShortcuts.h"
#include "PDFViewerModel.h"
#include "PDFViewerPageField.h"
#include "PDFViewerRecentMenu.h"
#include "PDFViewerSearchField.h"
#include "PDFViewerShortcutStore.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbolButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kHeight = 58;

} // namespace

PDFViewerToolbar::PDFViewerToolbar(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_shortcuts(shortcuts)
{
    setObjectName(QStringLiteral("pdf-toolbar"));
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(8);

    // Group 1: files.
    auto *files = new PDFToolbarGroup(this);
    PDFToolbarButton *open = makeButton(
        QStringLiteral("打开 PDF"), QStringLiteral("folder"), QStringLiteral("打开"), QStringLiteral("pdf-open"));
    open->setToolTip(
        QStringLiteral("打开 PDF（") + PDFViewerFixedShortcuts::openPDF().displayText() + QStringLiteral("）"));
    connect(open, &QAbstractButton::clicked, model, &PDFViewerModel::choosePDF);
    files->addWidget(open);
    files->addDivider();
    m_recent = new PDFViewerRecentMenu(model, files);
    files->addWidget(m_recent);

    // Group 2: pages.
    auto *pages = new PDFToolbarGroup(this);
    PDFToolbarButton *previous
        = makeButton(QStringLiteral("上一页"), QStringLiteral("chevron.left"), {}, QStringLiteral("pdf-previous-page"));
    bindAction(previous, QStringLiteral("上一页"), PDFViewerShortcutAction::previousPage);
    m_pageField = new PDFViewerPageField(model, pages);
    PDFToolbarButton *next
        = makeButton(QStringLiteral("下一页"), QStringLiteral("chevron.right"), {}, QStringLiteral("pdf-next-page"));
    bindAction(next, QStringLiteral("下一页"), PDFViewerShortcutAction::nextPage);
    pages->addWidget(previous);
    pages->addWidget(m_pageField);
    pages->addWidget(next);

    // Group 3: zoom.
    auto *zoom = new PDFToolbarGroup(this);
    PDFToolbarButton *zoomOut = makeButton(
        QStringLiteral("缩小"), QStringLiteral("minus.magnifyingglass"), {}, QStringLiteral("pdf-zoom-out"));
    bindAction(zoomOut, QStringLiteral("缩小"), PDFViewerShortcutAction::zoomOut);
    m_zoomLabel = new QLabel(zoom);
    m_zoomLabel->setObjectName(QStringLiteral("pdf-zoom-label"));
    m_zoomLabel->setFixedWidth(42);
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    m_zoomLabel->setFont(PDFViewerStyle::withMonospacedDigits(PDFViewerStyle::captionFont(QFont::DemiBold)));
    PDFToolbarButton *zoomIn
        = makeButton(QStringLiteral("放大"), QStringLiteral("plus.magnifyingglass"), {}, QStringLiteral("pdf-zoom-in"));
    bindAction(zoomIn, QStringLiteral("放大"), PDFViewerShortcutAction::zoomIn);
    PDFToolbarButton *fit = makeButton(
        QStringLiteral("适合页面"), QStringLiteral("rectangle.inset.filled"), {}, QStringLiteral("pdf-fit-page"));
    bindAction(fit, QStringLiteral("适合页面"), PDFViewerShortcutAction::fitPage);
    PDFToolbarButton *actual
        = makeButton(QStringLiteral("100% 实际大小"), {}, QStringLiteral("1:1"), QStringLiteral("pdf-actual-size"));
    bindAction(actual, QStringLiteral("100% 实际大小"), PDFViewerShortcutAction::actualSize);
    zoom->addWidget(zoomOut);
    zoom->addWidget(m_zoomLabel);
    zoom->addWidget(zoomIn);
    zoom->addDivider();
    zoom->addWidget(fit);
    zoom->addWidget(actual);

    // Group 4: rotation.
    auto *rotation = new PDFToolbarGroup(this);
    PDFToolbarButton *left = makeButton(
        QStringLiteral("向左旋转 90°"), QStringLiteral("rotate.left"), {}, QStringLiteral("pdf-rotate-left"));
    bindAction(left, QStringLiteral("向左旋转 90°"), PDFViewerShortcutAction::rotateLeft);
    PDFToolbarButton *reset = makeButton(QStringLiteral("恢复原始方向"), QStringLiteral("arrow.counterclockwise"), {},
        QStringLiteral("pdf-reset-rotation"));
    bindAction(reset, QStringLiteral("恢复原始方向"), PDFViewerShortcutAction::resetRotation);
    PDFToolbarButton *right = makeButton(
        QStringLiteral("向右旋转 90°"), QStringLiteral("rotate.right"), {}, QStringLiteral("pdf-rotate-right"));
    bindAction(right, QStringLiteral("向右旋转 90°"), PDFViewerShortcutAction::rotateRight);
    rotation->addWidget(left);
    rotation->addWidget(reset);
    rotation->addWidget(right);

    // The presentation toggle stands alone, in the brand colour.
    PDFToolbarButton *present = makeButton(QStringLiteral("投影模式"), QStringLiteral("rectangle.on.rectangle"),
        QStringLiteral("投影"), QStringLiteral("pdf-presentation"), true);
    bindAction(present, QStringLiteral("全屏铺满并隐藏分页"), PDFViewerShortcutAction::togglePresentation);

    m_searchField = new PDFViewerSearchField(model, this);

    for (QWidget *group : {static_cast<QWidget *>(files), static_cast<QWidget *>(pages), static_cast<QWidget *>(zoom),
             static_cast<QWidget *>(rotation)}) {
        row->addWidget(group, 0, Qt::AlignVCenter);
        m_shadowed.append(group);
    }
    row->addWidget(present, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(m_searchField, 0, Qt::AlignVCenter);
    m_shadowed.append(m_searchField);
    for (QWidget *surface : std::as_const(m_shadowed)) {
        m_shadowedGeometry.insert(surface, surface->geometry());
        surface->installEventFilter(this);
    }

    connect(model, &PDFViewerModel::pageCountChanged, this, &PDFViewerToolbar::refreshState);
    connect(model, &PDFViewerModel::pageIndexChanged, this, &PDFViewerToolbar::refreshState);
    connect(model, &PDFViewerModel::zoomPercentageChanged, this, &PDFViewerToolbar::refreshState);
    connect(shortcuts, &PDFViewerShortcutStore::configurationChanged, this, &PDFViewerToolbar::refreshToolTips);
    refreshState();
    refreshToolTips();
}

PDFToolbarButton *PDFViewerToolbar::makeButton(
    const QString &title, const QString &systemImage, const QString &label, const QString &identifier, bool isProminent)
{
    auto *button = new PDFToolbarButton(title, systemImage, label, identifier, isProminent, this);
    m_buttons.append(button);
    return button;
}

void PDFViewerToolbar::bindAction(PDFToolbarButton *button, const QString &title, PDFViewerShortcutAction action)
{
    m_shortcutTips.append({button, title, action});
    connect(button, &QAbstractButton::clicked, this, [this, action] { PDFViewerCommands::perform(*m_model, action); });
}

PDFToolbarButton *PDFViewerToolbar::button(const QString &identifier) const
{
    for (PDFToolbarButton *button : m_buttons) {
        if (button->objectName() == identifier)
            return button;
    }
    return nullptr;
}

QList<QWidget *> PDFViewerToolbar::focusOrder() const
{
    QList<QWidget *> order;
    auto add = [&](const char *identifier) { order.append(button(QString::fromLatin1(identifier))); };
    add("pdf-open");
    order.append(m_recent);
    add("pdf-previous-page");
    order.append(m_pageField->lineEdit());
    add("pdf-next-page");
    for (const char *identifier : {"pdf-zoom-out", "pdf-zoom-in", "pdf-fit-page", "pdf-actual-size", "pdf-rotate-left",
             "pdf-reset-rotation", "pdf-rotate-right", "pdf-presentation"})
        add(identifier);
    order.append(m_searchField->lineEdit());
    order.append(m_searchField->previousButton());
    order.append(m_searchField->nextButton());
    return order;
}

void PDFViewerToolbar::refreshToolTips()
{
    for (const ShortcutTip &tip : std::as_const(m_shortcutTips)) {
        const QString shortcut = m_shortcuts->shortcut(tip.action).displayText();
        tip.button->setToolTip(tip.title + QStringLiteral("（") + shortcut + QStringLiteral("）"));
    }
}

void PDFViewerToolbar::refreshState()
{
    const bool hasPages = m_model->pageCount() > 0;
    for (const ShortcutTip &tip : std::as_const(m_shortcutTips))
        tip.button->setEnabled(PDFViewerCommands::isEnabled(*m_model, tip.action));

    const QString percentage = QString::number(m_model->zoomPercentage()) + QLatin1Char('%');
    m_zoomLabel->setText(percentage);
    m_zoomLabel->setAccessibleName(QStringLiteral("当前缩放 ") + percentage);
    const QPalette base = palette();
    PDFViewerStyle::setTextColor(
        m_zoomLabel, hasPages ? PDFViewerStyle::primary(base) : PDFViewerStyle::secondary(base));
}

QRect PDFViewerToolbar::shadowArea(const QWidget *surface, const QRect &geometry) const
{
    const bool isSearch = surface == m_searchField;
    const qreal blur = isSearch ? PDFViewerSearchField::kShadowRadius : PDFToolbarGroup::kShadowRadius;
    const qreal offsetY = isSearch ? PDFViewerSearchField::kShadowOffsetY : PDFToolbarGroup::kShadowOffsetY;
    // One pixel more on every side for the antialiased edge.
    const int spread = int(std::ceil(blur)) + 1;
    const int shift = int(std::ceil(offsetY));
    return geometry.adjusted(-spread, -spread, spread, spread + shift);
}

bool PDFViewerToolbar::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide: {
        const auto found = m_shadowedGeometry.find(watched);
        if (found == m_shadowedGeometry.end())
            break;
        const auto *surface = static_cast<const QWidget *>(watched);
        update(shadowArea(surface, found.value()));
        update(shadowArea(surface, surface->geometry()));
        found.value() = surface->geometry();
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PDFViewerToolbar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshState();
    QWidget::changeEvent(event);
}

void PDFViewerToolbar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), PDFViewerStyle::ultraThinMaterial(palette()));
    for (QWidget *surface : std::as_const(m_shadowed)) {
        if (!surface->isVisible())
            continue;
        const bool isSearch = surface == m_searchField;
        PDFViewerStyle::paintShadow(painter, QRectF(surface->geometry()),
            isSearch ? PDFViewerSearchField::kCornerRadius : PDFToolbarGroup::kCornerRadius,
            isSearch ? PDFViewerSearchField::kShadowOpacity : PDFToolbarGroup::kShadowOpacity,
            isSearch ? PDFViewerSearchField::kShadowRadius : PDFToolbarGroup::kShadowRadius,
            isSearch ? PDFViewerSearchField::kShadowOffsetY : PDFToolbarGroup::kShadowOffsetY);
    }
    // The hairline along the bottom edge.
    painter.fillRect(
        QRectF(0, height() - 1, width(), 1), PDFViewerStyle::withOpacity(PDFViewerStyle::primary(palette()), 0.08));
}
