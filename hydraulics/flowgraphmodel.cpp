#include "hydraulics/flowgraphmodel.h"

#include "hydraulics/numbertext.h"

#include <cmath>

namespace {

// The chosen pressure: a text that does not read counts as zero.
long double chosenPressure(const Settings& settings, QChar decimalSeparator) {
    return readNumber(settings.extraPressure, decimalSeparator).value_or(0.0);
}

std::optional<double> zeroPressureFlow(long double S, long double k) {
    if (k == 0 || !(S > 0))
        return std::nullopt;
    const double q0 = static_cast<double>(std::pow(S / k, InverseFlowExponent));
    if (!std::isfinite(q0))
        return std::nullopt;
    return q0;
}

// Pend = S - k Fmax^1.85; S itself when there is no pressure drop.
double rightEdgePressure(double S, long double k, double flowAxisMax) {
    return k == 0 ? S
                  : static_cast<double>(
                        S - k * std::pow(static_cast<long double>(flowAxisMax), FlowExponent));
}

double flowExtent(const FlowGraphModel& m, bool showChosenFlow) {
    const double limit = 1.25 * m.TestFlow;
    double extent = limit;
    // Q0 has a value only where k is not zero.
    if (m.ZeroPressureFlow && *m.ZeroPressureFlow <= limit)
        extent = *m.ZeroPressureFlow;
    if (showChosenFlow && extent <= m.ChosenPressureFlow)
        extent = m.ChosenPressureFlow;
    return extent;
}

QString unitWords(UnitSystem units) {
    switch (units) {
    case UnitSystem::US:
        return QStringLiteral(" gpm at %1 psi");
    case UnitSystem::MetricBar:
        return QStringLiteral(" Lpm at %1 bar");
    case UnitSystem::MetricKPa:
        break;
    }
    return QStringLiteral(" Lpm at %1 kPa");
}

// The pressure is repeated exactly as typed, blanks and all.
QString noteText(double chosenFlow, const Settings& settings, QChar decimalSeparator) {
    if (!settings.showExtraFlow || !(chosenFlow > 0))
        return {};
    const QString flow = formatPattern(chosenFlow, Pattern::ExactlyOne, decimalSeparator);
    if (flow.isEmpty())
        return {};
    return flow + unitWords(settings.units).arg(settings.extraPressure);
}

QStringList axisLabels(double axisMax, int divisions, int stepsPerDivision, QChar separator) {
    QStringList labels;
    const int steps = divisions * stepsPerDivision;
    for (int line = 0; line <= divisions; ++line)
        labels << formatGeneral(line * stepsPerDivision * axisMax / steps, separator);
    return labels;
}

SupplyLineEnd supplyLineEnd(const FlowGraphModel& m) {
    if (m.RightEdgePressure > 0)
        return SupplyLineEnd::RightEdge;
    return m.ZeroPressureFlow ? SupplyLineEnd::BottomEdge : SupplyLineEnd::None;
}

} // namespace

bool flowGraphPreconditionHolds(double staticPressure, double residualPressure, double testFlow) {
    return std::isfinite(staticPressure) && std::isfinite(residualPressure) &&
           std::isfinite(testFlow) && testFlow > 0 && residualPressure <= staticPressure;
}

long double supplyFlowAt(long double S, long double R, long double Q, long double P) {
    if (!(P < S && S > R))
        return 0;
    return std::pow(std::pow(Q, FlowExponent) / (S - R) * (S - P), InverseFlowExponent);
}

double pressureAxisMax(double staticPressure, int NP) {
    const double p1 = 1.05 * staticPressure;
    if (p1 <= NP)
        return NP;
    if (p1 <= 2 * NP)
        return 2 * NP;
    const double step = 5.0 * NP;
    const double x = p1 / step;
    // A P1 that is a whole number of steps is kept as it is.
    return x == std::trunc(x) ? step * x : step * (std::trunc(x) + 1);
}

double flowAxisMax(double flowExtent, int NQ) {
    // Truncated in floating point: a huge extent must not overflow an int.
    const double b = std::trunc(flowExtent / NQ) + 1;
    for (const int step : {10, 50, 100, 250, 500, 750, 1000}) {
        if (b <= step)
            return static_cast<double>(step) * NQ;
    }
    const double bigStep = 500.0 * NQ;
    return bigStep * (std::trunc(flowExtent / bigStep) + 1);
}

long double flowAxisFraction(long double flow, long double axisMax) {
    return std::pow(flow, FlowExponent) / std::pow(axisMax, FlowExponent);
}

QList<double> flowMinorTicks(int line, int NQ) {
    if (line < 0 || line >= NQ)
        return {};
    const int parts = line < 2 ? 5 : 10;
    QList<double> ticks;
    for (int j = 1; j < parts; ++j)
        ticks << line + static_cast<double>(j) / parts;
    return ticks;
}

FlowGraphModel BuildFlowGraphModel(double S, double R, double Q, int NQ, int NP,
                                   const Settings& settings, QChar decimalSeparator) {
    FlowGraphModel m;
    m.StaticPressure = S;
    m.ResidualPressure = R;
    m.TestFlow = Q;
    m.FlowDivisions = NQ;
    m.PressureDivisions = NP;

    // Extended precision keeps k and Q^1.85 from overflowing or vanishing
    // for extreme inputs; the results are held as doubles.
    const long double k =
        (static_cast<long double>(S) - R) / std::pow(static_cast<long double>(Q), FlowExponent);
    m.SupplyCoefficient = static_cast<double>(k);
    m.ZeroPressureFlow = zeroPressureFlow(S, k);
    if (settings.showExtraFlow)
        m.ChosenPressureFlow =
            static_cast<double>(supplyFlowAt(S, R, Q, chosenPressure(settings, decimalSeparator)));

    m.flowExtent = flowExtent(m, settings.showExtraFlow);
    m.FlowAxisMax = flowAxisMax(m.flowExtent, NQ);
    m.PressureAxisMax = pressureAxisMax(S, NP);
    m.RightEdgePressure = rightEdgePressure(S, k, m.FlowAxisMax);

    m.flowLabels = axisLabels(m.FlowAxisMax, NQ, 1, decimalSeparator);
    m.pressureLabels = axisLabels(m.PressureAxisMax, NP, 5, decimalSeparator);
    m.NoteText = noteText(m.ChosenPressureFlow, settings, decimalSeparator);
    m.supplyLineEnd = supplyLineEnd(m);
    return m;
}

FlowGraphModel withFlowAxisReaching(FlowGraphModel m, double flow, QChar decimalSeparator) {
    if (!(flow > m.flowExtent) || !std::isfinite(flow))
        return m;
    m.flowExtent = flow;
    m.FlowAxisMax = flowAxisMax(m.flowExtent, m.FlowDivisions);
    m.RightEdgePressure = rightEdgePressure(m.StaticPressure, m.SupplyCoefficient, m.FlowAxisMax);
    m.flowLabels = axisLabels(m.FlowAxisMax, m.FlowDivisions, 1, decimalSeparator);
    m.supplyLineEnd = supplyLineEnd(m);
    return m;
}

FlowGraphModel withSupplyLowered(FlowGraphModel m, double pressure) {
    m.StaticPressure -= pressure;
    m.ResidualPressure -= pressure;
    m.RightEdgePressure -= pressure;
    m.ZeroPressureFlow = zeroPressureFlow(m.StaticPressure, m.SupplyCoefficient);
    m.supplyLineEnd = supplyLineEnd(m);
    return m;
}

FlowGraphModel BuildFlowGraphModel(double S, double R, double Q, int NQ, int NP,
                                   const Settings& settings) {
    return BuildFlowGraphModel(S, R, Q, NQ, NP, settings, localeDecimalSeparator());
}
