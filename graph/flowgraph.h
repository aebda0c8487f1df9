#pragma once

#include "graph/flowgraphpicture.h"
#include "hydraulics/settings.h"

#include <QChar>

class GraphCanvas;
struct FlowGraphModel;

// Draws the flow graph of a test onto a canvas of FlowGraphWidth x
// FlowGraphHeight units: the flow grid with its labels and minor ticks, the
// pressure grid likewise, the flow-at-pressure note and the supply line, in
// that order. S and R are the static and residual pressures, Q the total test
// flow. Draws nothing unless S, R and Q are finite, Q > 0, R <= S and both
// division counts are at least 1. Labels and the note use the given decimal
// separator (by default the user's).
void DrawFlowGraph(GraphCanvas& canvas, int flowDivisions, int pressureDivisions, double S,
                   double R, double Q, const Settings& settings, QChar decimalSeparator);
// The same from a model built by BuildFlowGraphModel.
void DrawFlowGraph(GraphCanvas& canvas, const FlowGraphModel& model);
void DrawFlowGraph(GraphCanvas& canvas, int flowDivisions, int pressureDivisions, double S,
                   double R, double Q, const Settings& settings);

// The same graph recorded as a picture; blank when nothing is drawn. Text is
// measured and drawn as "Arial" 12 points at 96 units to the inch.
FlowGraphPicture DrawFlowGraph(int flowDivisions, int pressureDivisions, double S, double R,
                               double Q, const Settings& settings, QChar decimalSeparator);
FlowGraphPicture DrawFlowGraph(int flowDivisions, int pressureDivisions, double S, double R,
                               double Q, const Settings& settings);
FlowGraphPicture DrawFlowGraph(const FlowGraphModel& model);
