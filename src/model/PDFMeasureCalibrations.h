#pragma once

#include "PDFMeasureScale.h"

#include <QString>

#include <optional>

class QSettings;

// The measuring calibration the user made for each document, by standardised path (as
// PDFFileURL::standardizedPath gives it). Stored in the settings store as UTF-8 JSON, an array
// of {"path", "unitsPerPoint", "unit"} with the latest last; at most `maximumCount`, the
// oldest dropped first. An unreadable store or entry reads as none. UI thread only.
class PDFMeasureCalibrations {
public:
    static constexpr int maximumCount = 500;

    // `defaults` must outlive this object.
    explicit PDFMeasureCalibrations(QSettings *defaults);

    std::optional<PDFMeasureScale> calibration(const QString &path) const;
    // Replaces the document's calibration and writes the store at once.
    void setCalibration(const QString &path, const PDFMeasureScale &scale);

private:
    QSettings *m_defaults;
};
