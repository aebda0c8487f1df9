#include "graph/labelroom.h"

#include "graph/graphcanvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int clearance = 1;

// x of the segment at row y, which lies between its ends' rows.
double xAt(QPoint from, QPoint to, double y) {
    const double t = (y - from.y()) / (to.y() - from.y());
    return from.x() + t * (to.x() - from.x());
}

} // namespace

void LabelRoom::takeBox(const QRect& box) {
    boxes_.append(box.adjusted(-clearance, -clearance, clearance, clearance));
}

void LabelRoom::takeLine(QPoint from, QPoint to, int penWidth) {
    lines_.append({from, to, (penWidth + 1) / 2 + clearance});
}

QList<LabelRoom::Span> LabelRoom::spansIn(int top, int bottom) const {
    QList<Span> spans;
    for (const QRect& box : boxes_)
        if (box.top() <= bottom && box.bottom() >= top)
            spans.append({box.left(), box.right()});
    for (const Line& line : lines_) {
        // The rows the pen covers, widened by its reach.
        const double low = top - line.reach;
        const double high = bottom + line.reach;
        const auto [upper, lower] = std::minmax({line.from.y(), line.to.y()});
        if (lower < low || upper > high)
            continue;
        double left = std::min(line.from.x(), line.to.x());
        double right = std::max(line.from.x(), line.to.x());
        if (line.from.y() != line.to.y()) {
            // Only the part of a sloping line within the rows counts.
            const double a = xAt(line.from, line.to, std::clamp<double>(low, upper, lower));
            const double b = xAt(line.from, line.to, std::clamp<double>(high, upper, lower));
            left = std::min(a, b);
            right = std::max(a, b);
        }
        spans.append({static_cast<int>(std::floor(left)) - line.reach,
                      static_cast<int>(std::ceil(right)) + line.reach});
    }
    return spans;
}

bool LabelRoom::isFree(const QRect& box) const {
    if (!bounds_.contains(box))
        return false;
    const QList<Span> spans = spansIn(box.top(), box.bottom());
    return std::none_of(spans.cbegin(), spans.cend(), [&](const Span& span) {
        return span.first <= box.right() && span.second >= box.left();
    });
}

int LabelRoom::widthFrom(QPoint topLeft, int height) const {
    const int x = topLeft.x();
    const QRect start(topLeft, QSize(1, height));
    if (height < 1 || !bounds_.contains(start))
        return 0;
    int width = bounds_.right() + 1 - x;
    for (const auto& [left, right] : spansIn(start.top(), start.bottom())) {
        if (left <= x && x <= right)
            return 0;
        if (left > x)
            width = std::min(width, left - x);
    }
    return width;
}

QString elidedToWidth(const GraphCanvas& canvas, const QString& text, int width) {
    if (canvas.textWidth(text) <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    // The longest beginning that fits, found by halving: widths grow with
    // the length, and a long label is measured only a few times.
    qsizetype fits = 0;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (canvas.textWidth(text.first(middle) + ellipsis) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    if (fits == 0 && canvas.textWidth(ellipsis) > width)
        return {};
    QString kept = text.first(fits);
    if (!kept.isEmpty() && kept.back().isHighSurrogate()) // never half a character
        kept.chop(1);
    while (kept.endsWith(QLatin1Char(' ')))
        kept.chop(1);
    return kept + ellipsis;
}
