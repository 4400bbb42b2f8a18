#include "PDFViewerPageField.h"

#include "PDFViewerModel.h"
#include "PDFViewerStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <limits>

PDFViewerPageField::PDFViewerPageField(PDFViewerModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_input(new QLineEdit(this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("pdf-page-number"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(5, 0, 5, 0);
    layout->setSpacing(3);

    const QFont font = PDFViewerStyle::withMonospacedDigits(PDFViewerStyle::captionFont(QFont::Medium));
    m_input->setObjectName(QStringLiteral("pdf-page-field"));
    m_input->setAccessibleName(QStringLiteral("跳转页码"));
    m_input->setFont(font);
    m_input->setFrame(false);
    m_input->setAlignment(Qt::AlignCenter);
    m_input->setFixedWidth(34);
    m_input->setAcceptDrops(false);
    connect(m_input, &QLineEdit::returnPressed, this, &PDFViewerPageField::submitPage);

    m_count->setObjectName(QStringLiteral("pdf-page-count"));
    m_count->setFont(font);
    applyPalette();
    m_count->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    // Room for "/ " and five tabular digits, measured as the label measures its text, so
    // that the strip does not shift when another document's page count is shorter or longer.
    m_count->setText(QStringLiteral("/ 00000"));
    m_count->setMinimumWidth(m_count->sizeHint().width());

    layout->addWidget(m_input);
    layout->addWidget(m_count);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    connect(model, &PDFViewerModel::pageIndexChanged, this, &PDFViewerPageField::refresh);
    connect(model, &PDFViewerModel::pageCountChanged, this, &PDFViewerPageField::refresh);
    refresh();
}

QString PDFViewerPageField::pageInput() const
{
    return m_input->text();
}

QString PDFViewerPageField::countText() const
{
    return m_count->text();
}

void PDFViewerPageField::refresh()
{
    const bool hasPages = m_model->pageCount() > 0;
    const QString dash = QStringLiteral("—");
    m_input->setPlaceholderText(hasPages ? QString::number(m_model->pageIndex() + 1) : dash);
    m_count->setText(QStringLiteral("/ ") + (hasPages ? QString::number(m_model->pageCount()) : dash));
}

void PDFViewerPageField::submitPage()
{
    const QString text = m_input->text();
    if (text.isEmpty())
        return;
    const std::optional<qint64> page = parsePageNumber(text);
    if (!page)
        return;
    m_model->goToPage(*page);
    m_input->clear();
}

std::optional<qint64> PDFViewerPageField::parsePageNumber(const QString &text)
{
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulated towards the sign's side, so the most negative value parses too.
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

void PDFViewerPageField::applyPalette()
{
    const QPalette base = palette();
    QPalette inputPalette = m_input->palette();
    inputPalette.setColor(QPalette::Base, Qt::transparent);
    inputPalette.setColor(QPalette::PlaceholderText, PDFViewerStyle::withOpacity(PDFViewerStyle::primary(base), 0.7));
    m_input->setPalette(inputPalette);
    PDFViewerStyle::setTextColor(m_count, PDFViewerStyle::secondary(base));
}

void PDFViewerPageField::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
    QWidget::changeEvent(event);
}
