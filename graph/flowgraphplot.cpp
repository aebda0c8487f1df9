#include "graph/flowgraphplot.h"

#include "graph/flowgraphpicture.h"
#include "graph/graphcanvas.h"
#include "hydraulics/flowgraphmodel.h"

#include <algorithm>
#include <cmath>

namespace {

// The widest pressure label always fits left of the plot: the margin grows
// past one and a half widths of "000" when a label needs more room.
int leftMargin(const GraphCanvas& canvas, const FlowGraphModel& model) {
    int widest = 0;
    for (const QString& label : model.pressureLabels)
        widest = std::max(widest, canvas.textWidth(label));
    const int usual = static_cast<int>(1.5 * canvas.textWidth(QStringLiteral("000")));
    return std::max(usual, widest + tickLength);
}

} // namespace

PlotArea plotArea(const GraphCanvas& canvas, const FlowGraphModel& model) {
    const QString& flowMaxLabel = model.flowLabels.last();
    PlotArea plot;
    plot.left = leftMargin(canvas, model);
    plot.top = canvas.textHeight(model.pressureLabels.last());
    plot.width = FlowGraphWidth - plot.left - canvas.textWidth(flowMaxLabel);
    plot.height = FlowGraphHeight - plot.top - 2 * canvas.textHeight(flowMaxLabel);
    return plot;
}

std::optional<int> coordinate(long double value) {
    constexpr long double limit = 1e6;
    if (!std::isfinite(value) || std::fabs(value) > limit)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<QPoint> point(std::optional<int> x, std::optional<int> y) {
    if (!x || !y)
        return std::nullopt;
    return QPoint(*x, *y);
}

std::optional<int> flowX(const PlotArea& plot, double flow, double axisMax) {
    const auto run = coordinate(flowAxisFraction(flow, axisMax) * plot.width);
    if (!run)
        return std::nullopt;
    return plot.left + *run;
}

// Start and right end use the same order of operations, so a flat supply
// (S = R) gives a level line whatever the rounding.
std::optional<int> pressureY(const PlotArea& plot, double pressure, double axisMax) {
    const auto rise = coordinate(static_cast<long double>(plot.height) * pressure / axisMax);
    if (!rise)
        return std::nullopt;
    return plot.bottom() - *rise;
}

std::optional<QPoint> supplyLineStart(const PlotArea& plot, const FlowGraphModel& model) {
    return point(plot.left, pressureY(plot, model.StaticPressure, model.PressureAxisMax));
}

std::optional<QPoint> supplyLineEnd(const PlotArea& plot, const FlowGraphModel& model) {
    switch (model.supplyLineEnd) {
    case SupplyLineEnd::RightEdge:
        return point(plot.right(), pressureY(plot, model.RightEdgePressure, model.PressureAxisMax));
    case SupplyLineEnd::BottomEdge:
        return point(flowX(plot, *model.ZeroPressureFlow, model.FlowAxisMax), plot.bottom());
    case SupplyLineEnd::None:
        break;
    }
    return std::nullopt;
}

QPoint notePosition(const GraphCanvas& canvas, const PlotArea& plot, const QString& note) {
    return {plot.left + plot.width - canvas.textWidth(note) - canvas.textWidth(QStringLiteral("A")),
            plot.top + canvas.textHeight(note) / 2};
}

void drawLine(GraphCanvas& canvas, QPoint from, QPoint to) {
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
}
