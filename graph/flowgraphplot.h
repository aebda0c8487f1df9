#pragma once

#include <QPoint>
#include <QString>

#include <optional>

class GraphCanvas;
struct FlowGraphModel;

// Where the report's graph and the analysis graph put the plot on their
// picture, and where a flow and a pressure lie on it: both graphs share one
// paper, so a point means the same on either.

// Minor ticks are this long, and pressure labels stand this far left of the plot.
inline constexpr int tickLength = 5;

// The plot spans x = left to left + width and y = top to top + height.
struct PlotArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width - 1; } // the last column inside
    int bottom() const { return top + height; }
};

// Room for the axis labels around it, as measured on the canvas.
PlotArea plotArea(const GraphCanvas& canvas, const FlowGraphModel& model);

// Truncated toward zero; a value that is not finite, or that lies absurdly
// far outside the picture, is no coordinate at all.
std::optional<int> coordinate(long double value);
std::optional<QPoint> point(std::optional<int> x, std::optional<int> y);

// x of a flow on the flow axis reaching `axisMax`.
std::optional<int> flowX(const PlotArea& plot, double flow, double axisMax);
// y of a pressure on the pressure axis reaching `axisMax`.
std::optional<int> pressureY(const PlotArea& plot, double pressure, double axisMax);

// The ends of the model's supply line, where it enters and leaves the plot;
// none where it has no end.
std::optional<QPoint> supplyLineStart(const PlotArea& plot, const FlowGraphModel& model);
std::optional<QPoint> supplyLineEnd(const PlotArea& plot, const FlowGraphModel& model);

// Where the graph's note starts: it ends one letter inside the right edge,
// half a line below the top.
QPoint notePosition(const GraphCanvas& canvas, const PlotArea& plot, const QString& note);

void drawLine(GraphCanvas& canvas, QPoint from, QPoint to);
