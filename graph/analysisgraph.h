#pragma once

#include "graph/flowgraphpicture.h"

#include <QString>

class GraphCanvas;
struct AnalysisGraphModel;

// The graph shows this many demand points at most, the first ones.
inline constexpr int AnalysisGraphDemands = 4;

// Draws the water supply analysis graph onto a canvas of FlowGraphWidth x
// FlowGraphHeight units: the report's graph of the model (grid, labels,
// note, supply line), then the safety line dashed below it when the model
// has a margin, each demand point joined to its demand-plus-hose point by a
// level line and labelled, the test point, the flow at 20 psi, and a legend
// that names that flow `flowAt20psiLabel` ("Flow at 20 psi"). A point the
// axes do not reach is left out; labels are cut short with "…" rather than
// cover a line, a mark or another text.
void DrawAnalysisGraph(GraphCanvas& canvas, const AnalysisGraphModel& model,
                       const QString& flowAt20psiLabel);

// The same graph recorded as a picture.
FlowGraphPicture DrawAnalysisGraph(const AnalysisGraphModel& model,
                                   const QString& flowAt20psiLabel);
