#pragma once

#include "document/testrecord.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/units.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The water supply analysis: does the supply the flow test measured meet a
// sprinkler system's demand, with the hose stream allowance and a safety
// margin? Every number comes from the supply line of the test's graph,
// through the static pressure S at no flow and the residual pressure R at
// the test flow Q, flow scaled by the power 1.85; all in the test's units,
// nothing converted.

// What the analysis says of one demand point.
struct DemandResult {
    enum class Verdict {
        None,               // not computed: the point's stops say why
        Meets,              // with at least the required margin to spare
        MeetsWithoutMargin, // but with less than the required margin
        FallsShort,
    };

    QString label;                           // as typed, or "Demand point k"
    std::optional<double> demandFlow;        // as typed
    std::optional<double> demandPressure;    // the residual pressure it needs
    std::optional<double> totalFlow;         // demand + hose
    std::optional<double> availablePressure; // the supply's at that flow, less elevation
    std::optional<double> margin;            // available - demand, in the pressure unit
    std::optional<double> marginPercent;     // ... in percent of the demand pressure
    std::optional<double> flowAtRequired;    // the supply's flow at demand + margin
    bool projected = false;                  // the total flow is beyond the test flow
    Verdict verdict = Verdict::None;
    QString verdictText; // "meets the demand with 19.8 psi to spare (10 psi required)"
    // The numbers in words: "1050 gpm needed: 74.8 psi available, 19.8 psi
    // (36 %) above the 55 psi needed; the supply gives 2248.2 gpm at 65 psi."
    QString answerText;
};

struct SupplyAnalysis {
    QList<DemandResult> points;
    std::optional<double> hoseAllowance;
    std::optional<double> requiredMargin; // in the pressure unit; none without a margin
    QString hoseText;                     // "250 gpm"; empty without an allowance
    QString marginText;                   // "10 psi", "10 % of the static pressure (7.8 psi)"
    int governing = -1;                   // the point with the smallest margin; -1: none
    std::optional<AnalysisGraphModel> graph;
    QStringList stops;  // what keeps a point or the margin from being computed
    QStringList advice; // projected beyond the test flow, beyond zero pressure
};

// The supply a test measured, read once by the results.
struct MeasuredSupply {
    std::optional<double> staticPressure;
    std::optional<double> residualPressure;
    double testFlow = 0;
    std::optional<FlowGraphModel> graph; // the report's; none when no supply line can be drawn
    std::optional<double> flowAt20psi;
};

// None when the test has no demand point.
std::optional<SupplyAnalysis> analyseSupply(const TestRecord& test, const MeasuredSupply& supply,
                                            UnitSystem units, QChar decimalSeparator);

// The pressure a foot (U.S.) or a metre (metric) of height costs: 0.433 psi,
// 0.0981 bar, 9.81 kPa.
double pressurePerHeight(UnitSystem units);
