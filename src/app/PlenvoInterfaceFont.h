#pragma once

#include <QString>

// The interface font. Every text of the interface is Simplified Chinese, so its font is a
// Simplified Chinese face whatever the locale says: left to the locale (C.UTF-8, en_US), the
// desktop's default Latin face draws “ ” ， 。 half-width, or the wrong CJK face fills in.
namespace PlenvoInterfaceFont {

// The first installed of the Simplified Chinese families the interface is drawn with (Noto
// Sans CJK SC, then other names of the same design, then older faces); empty when none is.
QString chosenFamily();
// Makes chosenFamily() the application font at the default point size, so that every font
// built from QFont() inherits it; leaves Qt's default alone and returns false when no family
// is installed. Needs the QGuiApplication; call before the first widget is made.
bool install();

} // namespace PlenvoInterfaceFont
