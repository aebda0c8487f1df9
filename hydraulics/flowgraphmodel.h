#pragma once

#include "hydraulics/settings.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The numbers of the flow graph: a water-supply line drawn on N^1.85 paper.
// The flow axis is scaled by flow^1.85, the pressure axis is linear, so the
// supply P(q) = S - k q^1.85 is a straight line from the static pressure S at
// zero flow through the residual pressure R at the test flow Q.
//
// All values are in the current unit system (psi, bar or kPa; gpm or lpm);
// nothing is converted. Only the words of the note depend on the units.

// Hydraulic graph paper's exponent; its inverse is the exact reciprocal,
// not the 0.54 of printed tables.
inline constexpr long double FlowExponent = 1.85L;
inline constexpr long double InverseFlowExponent = 1.0L / FlowExponent;

// Where the supply line leaves the plot.
enum class SupplyLineEnd {
    RightEdge,  // at the pressure RightEdgePressure
    BottomEdge, // at zero pressure, at the flow ZeroPressureFlow
    None,       // no end can be computed (static pressure of zero or below): no line
};

struct FlowGraphModel {
    double StaticPressure = 0;   // S
    double ResidualPressure = 0; // R
    double TestFlow = 0;         // Q
    // k = (S - R) / Q^1.85: pressure lost per unit of flow^1.85; 0 when S = R.
    double SupplyCoefficient = 0;
    // Qe: flow at the chosen residual pressure; 0 when not computed.
    double ChosenPressureFlow = 0;
    // Q0 = (S / k)^(1/1.85): flow at zero pressure. No value when k = 0, when
    // S <= 0 (the line starts at or below zero pressure) or when it overflows.
    std::optional<double> ZeroPressureFlow;
    double FlowAxisMax = 0;       // Fmax, flow at the right edge
    double PressureAxisMax = 0;   // Pmax, pressure at the top edge
    double RightEdgePressure = 0; // Pend = S - k Fmax^1.85
    int FlowDivisions = 5;        // NQ
    int PressureDivisions = 5;    // NP
    QString NoteText;             // empty when no note is drawn

    double flowExtent = 0;      // Fx, the flow the axis has to reach
    QStringList flowLabels;     // major flow lines, left to right (NQ + 1 texts)
    QStringList pressureLabels; // major pressure lines, bottom to top (NP + 1 texts)
    SupplyLineEnd supplyLineEnd = SupplyLineEnd::None;
};

// The numbers of the water supply analysis graph: the report graph's paper
// and axis rules, its flow axis reaching the largest total flow needed, the
// test point (R at Q), the flow at 20 psi, the safety line (the supply line
// lowered by the margin) and each demand point with its demand-plus-hose point.
struct AnalysisGraphModel {
    FlowGraphModel graph;
    std::optional<double> flowAt20psi;
    double twentyPsi = 20;   // in the graph's pressure unit
    double safetyMargin = 0; // the safety line lies this far below the supply; 0: none
    struct Demand {
        QString label;
        double flow;      // the demand alone
        double totalFlow; // with the hose allowance
        double pressure;  // the residual pressure it needs
    };
    QList<Demand> demands;
};

// True when a graph can be drawn: all three values finite, Q > 0 and R <= S.
bool flowGraphPreconditionHolds(double staticPressure, double residualPressure, double testFlow);

// Builds the model. Precondition: flowGraphPreconditionHolds(S, R, Q), NQ >= 1,
// NP >= 1. Labels and the note use the given decimal separator (by default the
// user's).
FlowGraphModel BuildFlowGraphModel(double S, double R, double Q, int NQ, int NP,
                                   const Settings& settings, QChar decimalSeparator);
FlowGraphModel BuildFlowGraphModel(double S, double R, double Q, int NQ, int NP,
                                   const Settings& settings);

// The same graph with its flow axis reaching at least `flow` (the water
// supply analysis shows every flow it needs).
FlowGraphModel withFlowAxisReaching(FlowGraphModel model, double flow, QChar decimalSeparator);

// The same graph with its supply line lowered by `pressure` on the same axes
// (the analysis's safety line): S, R and the right edge's pressure less it,
// the line's end where the lowered line leaves the plot.
FlowGraphModel withSupplyLowered(FlowGraphModel model, double pressure);

// The flow the supply line gives at residual pressure P, as NFPA 291 writes
// it: Q ((S - P) / (S - R))^(1/1.85); 0 when P is not below S or there is no
// pressure drop. The graph's note (P the chosen pressure) and the hydrant
// rating (P = 20 psi) both use it.
long double supplyFlowAt(long double S, long double R, long double Q, long double P);

// The smallest multiple of 5 NP not below 1.05 S, but NP or 2 NP for small S.
double pressureAxisMax(double staticPressure, int NP);

// The axis maximum for a flow extent: a round value strictly above it.
double flowAxisMax(double flowExtent, int NQ);

// Fraction of the plot width at which a flow lies: flow^1.85 / axisMax^1.85.
long double flowAxisFraction(long double flow, long double axisMax);

// Minor flow ticks, in axis-line units (line i lies at t = i), of the
// division that starts at major line i: four in each of the first two
// divisions, nine in each later one, none after the last line.
QList<double> flowMinorTicks(int line, int NQ);
