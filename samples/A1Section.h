#pragma once

#include "SheetDrawing.h"

#include <QVector>

namespace SheetDrawing {

// The A1 sheet's building section at 1:50: structure, openings, stairs, hatching and
// dimensions. The level marks' texts are returned in `levelTexts` (position, text) for the
// caller to write in one text object.
void sectionDrawing(Pen &pen, Rng &rng, QVector<std::pair<QPointF, QString>> &levelTexts);

} // namespace SheetDrawing
