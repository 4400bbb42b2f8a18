#include "PDFViewerSearchField.h"

#include "PDFViewerAccessibilityAnnouncer.h"
#include "PDFViewerBusyIndicator.h"
#include "PDFViewerFixedShortcuts.h"
#include "PDFViewerModel.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbolButton.h"
#include "PDFViewerSymbolView.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kHeight = 32;
constexpr int kPreferredInputWidth = 126;
constexpr int kMinimumInputWidth = 76;

} // namespace

PDFViewerSearchField::PDFViewerSearchField(PDFViewerModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_icon(new PDFViewerSymbolView(QStringLiteral("magnifyingglass"), 14, PDFViewerStyle::secondary(palette()),
          PDFViewerSymbol::Weight::Medium, this))
    , m_input(new QLineEdit(this))
    , m_busy(new PDFViewerBusyIndicator(14, this))
    , m_result(new QLabel(this))
    , m_previous(new PDFViewerSymbolButton(QStringLiteral("chevron.up"), 18, 10, this))
    , m_next(new PDFViewerSymbolButton(QStringLiteral("chevron.down"), 18, 10, this))
{
    setObjectName(QStringLiteral("pdf-search"));
    setToolTip(
        QStringLiteral("搜索当前 PDF（") + PDFViewerFixedShortcuts::searchPDF().displayText() + QStringLiteral("）"));
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(9, 0, 9, 0);
    layout->setSpacing(6);

    m_input->setObjectName(QStringLiteral("pdf-search-field"));
    m_input->setAccessibleName(QStringLiteral("搜索 PDF"));
    m_input->setPlaceholderText(QStringLiteral("搜索 PDF"));
    m_input->setFrame(false);
    m_input->setAcceptDrops(false);
    m_input->setFont(PDFViewerStyle::systemFont(13));
    m_input->setMinimumWidth(kMinimumInputWidth);
    m_input->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    QPalette inputPalette = m_input->palette();
    inputPalette.setColor(QPalette::Base, Qt::transparent);
    m_input->setPalette(inputPalette);
    m_input->setText(model->searchText());
    m_input->installEventFilter(this);
    connect(m_input, &QLineEdit::textEdited, model, &PDFViewerModel::setSearchText);
    connect(m_input, &QLineEdit::returnPressed, model, &PDFViewerModel::performSearch);

    m_busy->setObjectName(QStringLiteral("pdf-search-progress"));
    m_busy->setAccessibleName(QStringLiteral("正在搜索"));

    m_result->setObjectName(QStringLiteral("pdf-search-result"));
    m_result->setFont(PDFViewerStyle::withMonospacedDigits(PDFViewerStyle::caption2Font(QFont::Medium)));
    applyPalette();
    m_result->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    m_previous->setObjectName(QStringLiteral("pdf-search-previous"));
    m_previous->setToolTip(QStringLiteral("上一处"));
    m_previous->setAccessibleName(QStringLiteral("上一处"));
    connect(m_previous, &QAbstractButton::clicked, model, &PDFViewerModel::selectPreviousSearchResult);
    m_next->setObjectName(QStringLiteral("pdf-search-next"));
    m_next->setToolTip(QStringLiteral("下一处"));
    m_next->setAccessibleName(QStringLiteral("下一处"));
    connect(m_next, &QAbstractButton::clicked, model, &PDFViewerModel::selectNextSearchResult);

    layout->addWidget(m_icon);
    layout->addWidget(m_input, 1);
    layout->addWidget(m_busy);
    layout->addWidget(m_result);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);

    connect(model, &PDFViewerModel::searchTextChanged, this, &PDFViewerSearchField::refresh);
    connect(model, &PDFViewerModel::isSearchingChanged, this, &PDFViewerSearchField::refresh);
    // The outcome is shown in the status bar, away from the focus: a screen reader hears it.
    connect(model, &PDFViewerModel::searchEnded, this,
        [model] { PDFViewerAccessibilityAnnouncer::announce(model->statusText()); });
    connect(model, &PDFViewerModel::searchResultLabelChanged, this, &PDFViewerSearchField::refresh);
    connect(model, &PDFViewerModel::searchResultCountChanged, this, &PDFViewerSearchField::refresh);
    connect(model, &PDFViewerModel::selectedSearchResultChanged, this, &PDFViewerSearchField::refresh);
    refresh();
}

QSize PDFViewerSearchField::sizeHint() const
{
    return {widthAround(kPreferredInputWidth), kHeight};
}

QSize PDFViewerSearchField::minimumSizeHint() const
{
    return {widthAround(kMinimumInputWidth), kHeight};
}

int PDFViewerSearchField::widthAround(int inputWidth) const
{
    const QMargins margins = layout()->contentsMargins();
    const int spacing = layout()->spacing();
    const int resultWidth = QFontMetrics(m_result->font()).horizontalAdvance(QStringLiteral("000 / 000"));
    int width = margins.left() + inputWidth + margins.right();
    for (const int part : {m_icon->width(), m_busy->width(), resultWidth, m_previous->width(), m_next->width()})
        width += spacing + part;
    return width;
}

void PDFViewerSearchField::refresh()
{
    const QString text = m_model->searchText();
    // Writing the same text back would move the cursor to the end while the user types.
    if (m_input->text() != text)
        m_input->setText(text);
    m_busy->setVisible(m_model->isSearching());
    const bool hasText = !text.isEmpty();
    m_result->setText(m_model->searchResultLabel());
    m_result->setVisible(hasText);
    m_previous->setVisible(hasText);
    m_next->setVisible(hasText);
}

void PDFViewerSearchField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.375, 0.375, -0.375, -0.375), kCornerRadius, kCornerRadius);
    painter.fillPath(shape, PDFViewerStyle::thinMaterial(palette()));
    const QColor stroke = m_input->hasFocus() ? PDFViewerStyle::withOpacity(PDFViewerStyle::accent(palette()), 0.7)
                                              : PDFViewerStyle::withOpacity(PDFViewerStyle::primary(palette()), 0.1);
    painter.strokePath(shape, QPen(stroke, m_input->hasFocus() ? 1.5 : 0.75));
}

void PDFViewerSearchField::applyPalette()
{
    const QColor secondary = PDFViewerStyle::secondary(palette());
    m_icon->setSymbol(m_icon->name(), secondary);
    PDFViewerStyle::setTextColor(m_result, secondary);
}

void PDFViewerSearchField::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
    QWidget::changeEvent(event);
}

bool PDFViewerSearchField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_input && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
    return QWidget::eventFilter(watched, event);
}
