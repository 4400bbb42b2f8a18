#pragma once

#include <QImage>
#include <QRgb>

// The inverted view's colours, for dark rooms and projectors: each pixel's luminance is turned
// over (white paper becomes near-black, black ink light) while its hue and, as far as the
// gamut allows, its chroma stay, so red stays red and blue stays blue. Luminance is Rec. 601
// luma on 8-bit sRGB values; a colour whose inverted luma cannot hold its chroma keeps its hue
// and luma and loses chroma until it fits. Pure functions, any thread.
namespace PDFInvertedColors {

// What white paper becomes.
constexpr QRgb paper = 0xff1b1b1b;
// What black ink becomes.
constexpr QRgb ink = 0xffe8e8e8;
// Blank paper as the view draws it, inverted or not: where no picture is ready yet.
constexpr QRgb paperOf(bool inverted)
{
    return inverted ? paper : 0xffffffff;
}

QRgb invert(QRgb colour);
// Inverts every pixel of a Format_RGB32 or Format_ARGB32 image in place (alpha kept).
void invert(QImage &image);

} // namespace PDFInvertedColors
