#include "BlueprintSheet.h"

#include <QDir>
#include <QFileInfo>
#include <QVector>

bool BlueprintSheet::writePages(const QString &path, const QVector<PDFDocumentBuilder::Page> &pages, QString *error)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    PDFDocumentBuilder builder;
    for (const PDFDocumentBuilder::Page &page : pages)
        builder.addPage(page);
    return builder.save(path, error);
}

bool BlueprintSheet::writeSample(const QString &path, QString *error)
{
    return writePages(path,
        {PDFDocumentBuilder::Page {a0Size(), 0, a0Plan(), {}, -1},
            PDFDocumentBuilder::Page {a1Size(), 0, a1Detail(), {}, -1},
            PDFDocumentBuilder::Page {a3Size(), a3Rotation, a3Schedule(), {}, -1}},
        error);
}

bool BlueprintSheet::writeA0Only(const QString &path, QString *error, int rooms, quint32 seed)
{
    return writePages(path, {PDFDocumentBuilder::Page {a0Size(), 0, a0Plan(rooms, seed), {}, -1}}, error);
}

bool BlueprintSheet::writeLight(const QString &path, QString *error)
{
    return writePages(path, {PDFDocumentBuilder::Page {a0Size(), 0, a0Light(), {}, -1}}, error);
}
