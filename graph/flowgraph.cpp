#include "graph/flowgraph.h"

#include "graph/graphcanvas.h"
#include "graph/picturecanvas.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/numbertext.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int tickLength = 5;       // minor ticks, and the gap before pressure labels
constexpr int stepsPerDivision = 5; // pressure steps in one major division

// The plot spans x = left to left + width and y = top to top + height.
struct PlotArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int bottom() const { return top + height; }
};

void drawLine(GraphCanvas& canvas, QPoint from, QPoint to) {
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
}

// The widest pressure label always fits left of the plot: the margin grows
// past one and a half widths of "000" when a label needs more room.
int leftMargin(const GraphCanvas& canvas, const FlowGraphModel& model) {
    int widest = 0;
    for (const QString& label : model.pressureLabels)
        widest = std::max(widest, canvas.textWidth(label));
    const int usual = static_cast<int>(1.5 * canvas.textWidth(QStringLiteral("000")));
    return std::max(usual, widest + tickLength);
}

PlotArea plotArea(const GraphCanvas& canvas, const FlowGraphModel& model) {
    const QString& flowMaxLabel = model.flowLabels.last();
    PlotArea plot;
    plot.left = leftMargin(canvas, model);
    plot.top = canvas.textHeight(model.pressureLabels.last());
    plot.width = FlowGraphWidth - plot.left - canvas.textWidth(flowMaxLabel);
    plot.height = FlowGraphHeight - plot.top - 2 * canvas.textHeight(flowMaxLabel);
    return plot;
}

// x of a flow given in axis-line units (line i at t = i), truncated.
int flowX(const PlotArea& plot, double t, int divisions) {
    return plot.left + static_cast<int>(flowAxisFraction(t, divisions) * plot.width);
}

void drawFlowGrid(GraphCanvas& canvas, const PlotArea& plot, const FlowGraphModel& model) {
    const int divisions = model.FlowDivisions;
    for (int line = 0; line <= divisions; ++line) {
        const int x = flowX(plot, line, divisions);
        drawLine(canvas, {x, plot.top}, {x, plot.bottom()});
        // Centred under its line, half a line below the plot.
        const QString& label = model.flowLabels[line];
        canvas.textOut(x - canvas.textWidth(label) / 2,
                       plot.bottom() + canvas.textHeight(label) / 2, label);
        for (const double tick : flowMinorTicks(line, divisions)) {
            const int tickX = flowX(plot, tick, divisions);
            drawLine(canvas, {tickX, plot.bottom() - tickLength}, {tickX, plot.bottom()});
        }
    }
}

void drawPressureGrid(GraphCanvas& canvas, const PlotArea& plot, const FlowGraphModel& model) {
    const int steps = stepsPerDivision * model.PressureDivisions;
    for (int step = 0; step <= steps; ++step) {
        // The exact step boundary, truncated; an integer quotient keeps
        // rounding noise from lifting the bottom line one unit.
        const int offset = step * plot.height / steps;
        const int y = plot.top + offset;
        if (step % stepsPerDivision != 0) {
            drawLine(canvas, {plot.left, y}, {plot.left + tickLength, y});
            continue;
        }
        drawLine(canvas, {plot.left, y}, {plot.left + plot.width - 1, y});
        // Step counts from the top for the line and from the bottom for the
        // label, so the labels read upwards; each sits centred on a line.
        const QString& label = model.pressureLabels[step / stepsPerDivision];
        canvas.textOut(plot.left - tickLength - canvas.textWidth(label),
                       plot.bottom() - 1 - canvas.textHeight(label) / 2 - offset, label);
    }
}

// The note ends one letter inside the right edge, half a line below the top.
void drawNote(GraphCanvas& canvas, const PlotArea& plot, const QString& note) {
    if (note.isEmpty())
        return;
    canvas.textOut(plot.left + plot.width - canvas.textWidth(note) -
                       canvas.textWidth(QStringLiteral("A")),
                   plot.top + canvas.textHeight(note) / 2, note);
}

// Truncated toward zero; a value that is not finite, or that lies absurdly
// far outside the picture, is no coordinate at all.
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

// y of a pressure on the supply line. Start and right end use the same order
// of operations, so a flat supply (S = R) gives a level line whatever the
// rounding.
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
        return point(plot.left + plot.width - 1,
                     pressureY(plot, model.RightEdgePressure, model.PressureAxisMax));
    case SupplyLineEnd::BottomEdge: {
        const auto run =
            coordinate(flowAxisFraction(*model.ZeroPressureFlow, model.FlowAxisMax) * plot.width);
        return point(run ? std::optional(plot.left + *run) : std::nullopt, plot.bottom());
    }
    case SupplyLineEnd::None:
        break;
    }
    return std::nullopt;
}

// Drawn last, over the grid and the note; left out where it has no end.
void drawSupplyLine(GraphCanvas& canvas, const PlotArea& plot, const FlowGraphModel& model) {
    const auto start = supplyLineStart(plot, model);
    const auto end = supplyLineEnd(plot, model);
    if (!start || !end)
        return;
    canvas.setPen(Qt::black, 2);
    drawLine(canvas, *start, *end);
}

} // namespace

void DrawFlowGraph(GraphCanvas& canvas, const FlowGraphModel& model) {
    canvas.setPen(Qt::black, 1);
    canvas.setFont(QStringLiteral("Arial"), 12);
    const PlotArea plot = plotArea(canvas, model);
    drawFlowGrid(canvas, plot, model);
    drawPressureGrid(canvas, plot, model);
    drawNote(canvas, plot, model.NoteText);
    drawSupplyLine(canvas, plot, model);
}

void DrawFlowGraph(GraphCanvas& canvas, int flowDivisions, int pressureDivisions, double S,
                   double R, double Q, const Settings& settings, QChar decimalSeparator) {
    if (!flowGraphPreconditionHolds(S, R, Q) || flowDivisions < 1 || pressureDivisions < 1)
        return;
    DrawFlowGraph(canvas, BuildFlowGraphModel(S, R, Q, flowDivisions, pressureDivisions, settings,
                                              decimalSeparator));
}

void DrawFlowGraph(GraphCanvas& canvas, int flowDivisions, int pressureDivisions, double S,
                   double R, double Q, const Settings& settings) {
    DrawFlowGraph(canvas, flowDivisions, pressureDivisions, S, R, Q, settings,
                  localeDecimalSeparator());
}

FlowGraphPicture DrawFlowGraph(int flowDivisions, int pressureDivisions, double S, double R,
                               double Q, const Settings& settings, QChar decimalSeparator) {
    FlowGraphPicture result;
    {
        PictureCanvas canvas(result.picture(), FlowGraphPicture::size());
        DrawFlowGraph(canvas, flowDivisions, pressureDivisions, S, R, Q, settings,
                      decimalSeparator);
    }
    return result;
}

FlowGraphPicture DrawFlowGraph(const FlowGraphModel& model) {
    FlowGraphPicture result;
    {
        PictureCanvas canvas(result.picture(), FlowGraphPicture::size());
        DrawFlowGraph(canvas, model);
    }
    return result;
}

FlowGraphPicture DrawFlowGraph(int flowDivisions, int pressureDivisions, double S, double R,
                               double Q, const Settings& settings) {
    return DrawFlowGraph(flowDivisions, pressureDivisions, S, R, Q, settings,
                         localeDecimalSeparator());
}
