#include "PDFViewerMeasureCommands.h"

#include "BlueprintPDFView.h"
#include "PDFFileURL.h"
#include "PDFMeasureTool.h"
#include "PDFViewerAccessibilityAnnouncer.h"
#include "PDFViewerModel.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>

PDFViewerMeasureCommands::PDFViewerMeasureCommands(
    PDFViewerModel *model, QSettings *defaults, QMenu *menu, QWidget *dialogParent)
    : QObject(dialogParent)
    , m_model(model)
    , m_dialogParent(dialogParent)
    , m_calibrations(defaults)
{
    menu->addSeparator();
    m_measure = menu->addAction(QStringLiteral("测量距离"));
    m_calibrate = menu->addAction(QStringLiteral("校准比例…"));
    m_copy = menu->addAction(QStringLiteral("复制测量结果"));
    m_measure->setObjectName(QStringLiteral("pdf-menu-measure"));
    m_calibrate->setObjectName(QStringLiteral("pdf-menu-calibrate"));
    m_copy->setObjectName(QStringLiteral("pdf-menu-copy-measurement"));
    m_measure->setCheckable(true);
    connect(m_measure, &QAction::triggered, this, [this](bool on) {
        if (PDFMeasureTool *measure = tool())
            measure->setMode(on ? PDFMeasureTool::Mode::Measure : PDFMeasureTool::Mode::Off);
    });
    connect(m_calibrate, &QAction::triggered, this, [this] {
        if (PDFMeasureTool *measure = tool())
            measure->setMode(PDFMeasureTool::Mode::Calibrate);
    });
    connect(m_copy, &QAction::triggered, this, [this] {
        if (PDFMeasureTool *measure = tool())
            QGuiApplication::clipboard()->setText(measure->lastMeasurement());
    });
    if (PDFMeasureTool *measure = tool()) {
        connect(measure, &PDFMeasureTool::modeChanged, this, &PDFViewerMeasureCommands::updateStates);
        connect(measure, &PDFMeasureTool::measurementChanged, this, &PDFViewerMeasureCommands::updateStates);
        // Each point put down is a deliberate step: a screen reader hears the length so far.
        connect(measure, &PDFMeasureTool::measurementChanged, this, &PDFViewerAccessibilityAnnouncer::announce);
        connect(measure, &PDFMeasureTool::calibrationMeasured, this, &PDFViewerMeasureCommands::calibrationMeasured);
    }
    connect(model, &PDFViewerModel::fileURLChanged, this, &PDFViewerMeasureCommands::documentChanged);
    connect(model, &PDFViewerModel::pageCountChanged, this, &PDFViewerMeasureCommands::updateStates);
    documentChanged();
}

PDFMeasureTool *PDFViewerMeasureCommands::tool() const
{
    BlueprintPDFView *canvas = m_model->pdfView();
    return canvas ? canvas->measureTool() : nullptr;
}

void PDFViewerMeasureCommands::documentChanged()
{
    if (PDFMeasureTool *measure = tool()) {
        measure->setMode(PDFMeasureTool::Mode::Off);
        measure->setCalibration(m_model->fileURL().isEmpty()
                ? std::nullopt
                : m_calibrations.calibration(PDFFileURL::standardizedPath(m_model->fileURL())));
    }
    updateStates();
}

void PDFViewerMeasureCommands::calibrationMeasured(qreal pagePoints)
{
    PDFMeasureTool *measure = tool();
    const auto answer = m_prompt(m_dialogParent, pagePoints * 25.4 / 72);
    const auto scale = answer ? PDFMeasureScale::calibrated(pagePoints, answer->first, answer->second) : std::nullopt;
    if (!measure)
        return;
    if (!scale || m_model->fileURL().isEmpty()) {
        measure->setMode(PDFMeasureTool::Mode::Off);
        return;
    }
    m_calibrations.setCalibration(PDFFileURL::standardizedPath(m_model->fileURL()), *scale);
    measure->setCalibration(scale);
    measure->setMode(PDFMeasureTool::Mode::Measure);
}

void PDFViewerMeasureCommands::updateStates()
{
    const PDFMeasureTool *measure = tool();
    const bool open = m_model->pageCount() > 0 && measure;
    m_measure->setEnabled(open);
    m_calibrate->setEnabled(open);
    m_measure->setChecked(measure && measure->mode() == PDFMeasureTool::Mode::Measure);
    m_copy->setEnabled(measure && !measure->lastMeasurement().isEmpty());
}

std::optional<std::pair<double, QString>> PDFViewerMeasureCommands::askLength(QWidget *parent, double paperMillimetres)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("校准比例"));
    dialog.setObjectName(QStringLiteral("pdf-calibration-dialog"));
    auto *layout = new QFormLayout(&dialog);
    auto *note = new QLabel(QStringLiteral("这段在图面上长 %1 mm。它实际有多长？")
                                .arg(QLocale(QLocale::Chinese, QLocale::China).toString(paperMillimetres, 'f', 1)));
    note->setWordWrap(true);
    layout->addRow(note);
    auto *length = new QDoubleSpinBox;
    length->setObjectName(QStringLiteral("pdf-calibration-length"));
    length->setAccessibleName(QStringLiteral("实际长度"));
    length->setRange(0.001, 1e9);
    length->setDecimals(3);
    length->setValue(1000);
    auto *unit = new QComboBox;
    unit->setObjectName(QStringLiteral("pdf-calibration-unit"));
    unit->setAccessibleName(QStringLiteral("单位"));
    unit->addItems({QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("m")});
    layout->addRow(QStringLiteral("实际长度"), length);
    layout->addRow(QStringLiteral("单位"), unit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("校准"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    length->selectAll();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::make_pair(length->value(), unit->currentText());
}
