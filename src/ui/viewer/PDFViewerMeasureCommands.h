#pragma once

#include "PDFMeasureCalibrations.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class PDFMeasureTool;
class PDFViewerModel;
class QAction;
class QMenu;
class QSettings;
class QWidget;

// The measuring commands, added to the end of a menu after a separator: "测量距离" (checked while measuring;
// Escape on the canvas leaves too), "校准比例…" and "复制测量结果". A calibration is asked
// for once two points are down, kept per document and handed to the canvas whenever a
// document opens. None of them has a key. UI thread only; the model must outlive this object.
class PDFViewerMeasureCommands : public QObject {
    Q_OBJECT

public:
    // `defaults` holds the calibrations and must outlive this object; `dialogParent` parents
    // the calibration dialog and owns this object.
    PDFViewerMeasureCommands(PDFViewerModel *model, QSettings *defaults, QMenu *menu, QWidget *dialogParent);

    QAction *measureAction() const { return m_measure; }
    QAction *calibrateAction() const { return m_calibrate; }
    QAction *copyAction() const { return m_copy; }

    // Asks how long the `paperMillimetres` just measured are in reality: a length above 0 and a
    // unit, or none when cancelled. Tests replace it.
    using LengthPrompt = std::function<std::optional<std::pair<double, QString>>(QWidget *, double paperMillimetres)>;
    void setLengthPrompt(LengthPrompt prompt) { m_prompt = std::move(prompt); }
    static std::optional<std::pair<double, QString>> askLength(QWidget *parent, double paperMillimetres);

private:
    PDFMeasureTool *tool() const;
    void documentChanged();
    void calibrationMeasured(qreal pagePoints);
    void updateStates();

    PDFViewerModel *m_model;
    QWidget *m_dialogParent;
    PDFMeasureCalibrations m_calibrations;
    QAction *m_measure;
    QAction *m_calibrate;
    QAction *m_copy;
    LengthPrompt m_prompt = askLength;
};
