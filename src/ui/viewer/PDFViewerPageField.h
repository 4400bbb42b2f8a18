#pragma once

#include <QWidget>

#include <optional>

class PDFViewerModel;
class QLabel;
class QLineEdit;

// The toolbar's page-number entry: a narrow field for a 1-based page number followed by
// "/ " and the page count, which has room for five digits whatever the count. The field's
// placeholder is the current page (or "—" without a document), so it normally reads as the
// page indicator; typed text stays until a jump succeeds.
class PDFViewerPageField : public QWidget {
    Q_OBJECT

public:
    explicit PDFViewerPageField(PDFViewerModel *model, QWidget *parent = nullptr);

    QLineEdit *lineEdit() const { return m_input; }
    QString pageInput() const;
    QString countText() const;

    // Return in the field: parses the typed text with parsePageNumber(); on success asks the
    // model for that page (the model clamps) and empties the field, otherwise leaves the text
    // as typed. An empty field does nothing.
    void submitPage();

    // An optional single leading "+" or "-", then one or more ASCII digits and nothing else,
    // within the signed 64-bit range.
    static std::optional<qint64> parsePageNumber(const QString &text);

protected:
    // A palette change (the desktop turning dark) recolours the page number and the count.
    void changeEvent(QEvent *event) override;

private:
    void refresh();
    void applyPalette();

    PDFViewerModel *m_model;
    QLineEdit *m_input;
    QLabel *m_count;
};
