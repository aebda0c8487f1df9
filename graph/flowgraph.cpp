#include "graph/flowgraph.h"

#include "graph/flowgraphplot.h"
#include "graph/graphcanvas.h"
#include "graph/picturecanvas.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/numbertext.h"

#include <optional>

namespace {

constexpr int stepsPerDivision = 5; // pressure steps in one major division

// x of a flow given in axis-line units (line i at t = i), truncated.
int gridLineX(const PlotArea& plot, double t, int divisions) {
    return plot.left + static_cast<int>(flowAxisFraction(t, divisions) * plot.width);
}

void drawFlowGrid(GraphCanvas& canvas, const PlotArea& plot, const FlowGraphModel& model) {
    const int divisions = model.FlowDivisions;
    for (int line = 0; line <= divisions; ++line) {
        const int x = gridLineX(plot, line, divisions);
        drawLine(canvas, {x, plot.top}, {x, plot.bottom()});
        // Centred under its line, half a line below the plot.
        const QString& label = model.flowLabels[line];
        canvas.textOut(x - canvas.textWidth(label) / 2,
                       plot.bottom() + canvas.textHeight(label) / 2, label);
        for (const double tick : flowMinorTicks(line, divisions)) {
            const int tickX = gridLineX(plot, tick, divisions);
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

void drawNote(GraphCanvas& canvas, const PlotArea& plot, const QString& note) {
    if (note.isEmpty())
        return;
    const QPoint at = notePosition(canvas, plot, note);
    canvas.textOut(at.x(), at.y(), note);
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
