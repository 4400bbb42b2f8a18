#pragma once

#include <QString>
#include <QVector>

// One row of a document's layer list (optional content), in the order the document gives:
// a heading, a layer shown or hidden on its own, or a layer in a radio group, of which at most
// one is shown at a time.
struct PDFLayer {
    enum class Kind { Label, CheckBox, Radio };

    QString name;
    int depth = 0; // nesting level in the document's list, 0 at the top
    Kind kind = Kind::CheckBox;
    bool visible = false; // always false for a label
    bool locked = false; // the document forbids changing it

    bool operator==(const PDFLayer &o) const
    {
        return name == o.name && depth == o.depth && kind == o.kind && visible == o.visible && locked == o.locked;
    }
};
using PDFLayerList = QVector<PDFLayer>;
