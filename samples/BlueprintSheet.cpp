#include "BlueprintSheet.h"

#include <QDir>
#include <QFileInfo>
#include <QVector>

namespace {

// The plan is drawn at 1:100 in millimetres: its measuring viewport says so, so that lengths
// measured on it read as built.
const QByteArray kPlanViewport = "<< /VP [ << /Type /Viewport /Name (Plan) /Measure << /Type /Measure /Subtype /RL"
                                 " /R (1:100) /X [ << /Type /NumberFormat /U (mm) /C 35.27778 /D 1 >> ] >> >> ] >>";

} // namespace

QVector<PDFDocumentBuilder::Layer> BlueprintSheet::planLayers()
{
    return {{QStringLiteral("轴网")}, {QStringLiteral("墙体")}, {QStringLiteral("标注")}, {QStringLiteral("图框")}};
}

bool BlueprintSheet::writePages(const QString &path, const QVector<PDFDocumentBuilder::Page> &pages, QString *error,
    const QVector<PDFDocumentBuilder::Layer> &layers)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    PDFDocumentBuilder builder;
    for (const PDFDocumentBuilder::Layer &layer : layers)
        builder.addLayer(layer);
    for (const PDFDocumentBuilder::Page &page : pages)
        builder.addPage(page);
    return builder.save(path, error);
}

bool BlueprintSheet::writeSample(const QString &path, QString *error)
{
    return writePages(path,
        {PDFDocumentBuilder::Page {a0Size(), 0, a0Plan(), {}, -1, {}, {0, 1, 2, 3}, kPlanViewport},
            PDFDocumentBuilder::Page {a1Size(), 0, a1Detail(), {}, -1},
            PDFDocumentBuilder::Page {a3Size(), a3Rotation, a3Schedule(), {}, -1}},
        error, planLayers());
}

bool BlueprintSheet::writeA0Only(const QString &path, QString *error, int rooms, quint32 seed)
{
    return writePages(path,
        {PDFDocumentBuilder::Page {a0Size(), 0, a0Plan(rooms, seed), {}, -1, {}, {0, 1, 2, 3}, kPlanViewport}}, error,
        planLayers());
}

bool BlueprintSheet::writeLight(const QString &path, QString *error)
{
    return writePages(path, {PDFDocumentBuilder::Page {a0Size(), 0, a0Light(), {}, -1}}, error);
}
