#include "graph/fontmeasure.h"

#include <cmath>

namespace {

constexpr int unitsPerInch = 96;
constexpr int pointsPerInch = 72;

// Unhinted outlines and no kerning: advances then scale linearly with the
// size and do not depend on the device, as in the printed output.
QFont unhintedFont(const QString& family, int pointSize) {
    QFont font(family);
    font.setPixelSize(pointSize * unitsPerInch / pointsPerInch);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// Rounding up a length that is a whole number but for floating-point noise
// would add a unit; that noise is far below 1/1000 of a unit.
int roundUp(qreal length) {
    return static_cast<int>(std::ceil(length - 1e-3));
}

} // namespace

FontMeasure::FontMeasure(const QString& family, int pointSize)
    : font_(unhintedFont(family, pointSize)), metrics_(font_) {}

int FontMeasure::width(const QString& text) const {
    return roundUp(metrics_.horizontalAdvance(text));
}

int FontMeasure::height() const {
    return roundUp(metrics_.height());
}
