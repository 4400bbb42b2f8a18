#include "PDFInvertedColors.h"

#include <algorithm>
#include <array>

namespace {

// Luma in 1/256ths: the weights sum to 256, so grey g has luma exactly g.
constexpr int kRed = 77;
constexpr int kGreen = 150;
constexpr int kBlue = 29;

// Luma y (0..255) inverted onto [ink, paper]: 255 - y scaled so 255 lands on paper's grey.
constexpr std::array<int, 256> invertedLuma()
{
    std::array<int, 256> table {};
    const int dark = qRed(PDFInvertedColors::paper);
    const int light = qRed(PDFInvertedColors::ink);
    for (int y = 0; y < 256; ++y)
        table[size_t(y)] = light - ((light - dark) * y + 127) / 255;
    return table;
}
constexpr std::array<int, 256> kInvertedLuma = invertedLuma();

} // namespace

namespace PDFInvertedColors {

QRgb invert(QRgb colour)
{
    const int r = qRed(colour);
    const int g = qGreen(colour);
    const int b = qBlue(colour);
    const int y = (kRed * r + kGreen * g + kBlue * b + 128) >> 8;
    const int target = kInvertedLuma[size_t(y)];
    const int dr = r - y;
    const int dg = g - y;
    const int db = b - y;
    int nr = target + dr;
    int ng = target + dg;
    int nb = target + db;
    if ((nr | ng | nb) & ~0xff) {
        // Out of gamut: the chroma shrinks by one factor for all three channels, which keeps
        // their differences in proportion (the hue) and the weighted sum (the luma).
        const int up = std::max({dr, dg, db});
        const int down = std::min({dr, dg, db});
        double k = 1.0;
        if (up > 0)
            k = std::min(k, double(255 - target) / up);
        if (down < 0)
            k = std::min(k, double(target) / -down);
        nr = std::clamp(target + int(std::lround(k * dr)), 0, 255);
        ng = std::clamp(target + int(std::lround(k * dg)), 0, 255);
        nb = std::clamp(target + int(std::lround(k * db)), 0, 255);
    }
    return qRgba(nr, ng, nb, qAlpha(colour));
}

void invert(QImage &image)
{
    Q_ASSERT(image.isNull() || image.depth() == 32);
    const qsizetype width = image.width();
    for (int row = 0; row < image.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(row));
        // Drawings are mostly blank paper: one comparison for those pixels.
        QRgb last = 0xffffffff;
        QRgb lastInverted = paper;
        for (qsizetype x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            if (pixel != last) {
                last = pixel;
                lastInverted = invert(pixel);
            }
            line[x] = lastInverted;
        }
    }
}

} // namespace PDFInvertedColors
