#include "results/supplyanalysis.h"

#include "hydraulics/numbertext.h"
#include "hydraulics/rating.h"
#include "textfile/textfile.h"

#include <algorithm>
#include <cmath>

namespace {

bool isBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

// Texts of the analysis in the test's units and separator.
struct AnalysisTexts {
    UnitTexts units;
    QChar separator;

    QString number(double value) const { return formatPattern(value, Pattern::UpToOne, separator); }
    QString pressure(double value) const {
        return number(value) + QLatin1Char(' ') + units.pressure;
    }
    QString flow(double value) const { return number(value) + QLatin1Char(' ') + units.flow; }
};

// "10", "10 %", "10%": a pressure, or a percentage of the static pressure.
struct MarginText {
    std::optional<double> value;
    bool percent = false;
};

MarginText readMargin(const QString& text, QChar separator) {
    QString number = text.trimmed();
    MarginText margin;
    if (number.endsWith(QLatin1Char('%'))) {
        margin.percent = true;
        number.chop(1);
    }
    margin.value = readNumber(number, separator);
    return margin;
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + messageExcerpt(text.trimmed()) + QLatin1Char('"');
}

class Analysis {
public:
    Analysis(const TestRecord& test, const MeasuredSupply& supply, UnitSystem units,
             QChar separator)
        : test_(test), supply_(supply), system_(units), texts_{unitTexts(units), separator} {}

    SupplyAnalysis run() {
        readHose();
        readMargin();
        for (qsizetype i = 0; i < test_.demands.size(); ++i)
            analysis_.points.append(point(test_.demands[i], i));
        chooseGoverning();
        drawGraph();
        return analysis_;
    }

private:
    std::optional<double> read(const QString& text) const {
        return isBlank(text) ? std::nullopt : readNumber(text, texts_.separator);
    }

    void readHose() {
        const QString& text = test_.hoseAllowance;
        if (isBlank(text))
            return;
        analysis_.hoseAllowance = read(text);
        if (analysis_.hoseAllowance)
            analysis_.hoseText = texts_.flow(*analysis_.hoseAllowance);
        else
            analysis_.stops.append(
                QStringLiteral("The hose stream allowance %1 is not a number.").arg(quoted(text)));
    }

    void readMargin() {
        const QString& text = test_.safetyMargin;
        if (isBlank(text))
            return;
        const MarginText margin = ::readMargin(text, texts_.separator);
        if (!margin.value) {
            analysis_.stops.append(QStringLiteral("The safety margin %1 is not a number; give a "
                                                  "pressure such as 10 or a percentage such as "
                                                  "10 %.")
                                       .arg(quoted(text)));
            return;
        }
        if (!margin.percent) {
            analysis_.requiredMargin = *margin.value;
            analysis_.marginText = texts_.pressure(*margin.value);
        } else if (supply_.staticPressure) {
            analysis_.requiredMargin = *margin.value / 100 * *supply_.staticPressure;
            analysis_.marginText =
                QStringLiteral("%1 % of the static pressure (%2)")
                    .arg(texts_.number(*margin.value), texts_.pressure(*analysis_.requiredMargin));
        } else {
            analysis_.stops.append(QStringLiteral("The safety margin of %1 % needs the static "
                                                  "pressure.")
                                       .arg(texts_.number(*margin.value)));
        }
    }

    // The supply's pressure at a flow on the line through S and R at Q.
    std::optional<double> supplyPressureAt(double flow) const {
        if (!supply_.graph)
            return std::nullopt;
        const long double S = supply_.graph->StaticPressure;
        const long double R = supply_.graph->ResidualPressure;
        const long double Q = supply_.graph->TestFlow;
        const double pressure = static_cast<double>(S - (S - R) * std::pow(flow / Q, FlowExponent));
        return std::isfinite(pressure) ? std::optional(pressure) : std::nullopt;
    }

    // What the height of the point above the read hydrant's gauge costs;
    // nothing unless both heights are given.
    std::optional<double> elevationLoss(const DemandPoint& demand, const QString& name) {
        if (isBlank(demand.elevation) || isBlank(test_.readElev))
            return 0.0;
        const std::optional<double> point = read(demand.elevation);
        const std::optional<double> gauge = read(test_.readElev);
        if (!point) {
            analysis_.stops.append(QStringLiteral("%1: the elevation %2 is not a number.")
                                       .arg(name, quoted(demand.elevation)));
            return std::nullopt;
        }
        if (!gauge) {
            analysis_.stops.append(QStringLiteral("The hydrant elevation %1 is not a number, so "
                                                  "%2 cannot be lowered by its height.")
                                       .arg(quoted(test_.readElev), name));
            return std::nullopt;
        }
        return (*point - *gauge) * pressurePerHeight(system_);
    }

    DemandResult point(const DemandPoint& demand, qsizetype index) {
        DemandResult result;
        result.label = demand.label.trimmed().isEmpty()
                           ? QStringLiteral("Demand point %1").arg(index + 1)
                           : demand.label.trimmed();
        const QString name = QLatin1Char('"') + messageExcerpt(result.label) + QLatin1Char('"');
        result.demandFlow = read(demand.flow);
        result.demandPressure = read(demand.pressure);
        if (!result.demandFlow || !result.demandPressure) {
            if (isBlank(demand.flow) || isBlank(demand.pressure))
                analysis_.stops.append(
                    QStringLiteral("%1 needs a flow and a residual pressure.").arg(name));
            else
                analysis_.stops.append(
                    QStringLiteral("%1: the flow %2 or the pressure %3 is not "
                                   "a number.")
                        .arg(name, quoted(demand.flow), quoted(demand.pressure)));
            return result;
        }
        result.totalFlow = *result.demandFlow + analysis_.hoseAllowance.value_or(0);
        const std::optional<double> loss = elevationLoss(demand, name);
        const std::optional<double> supplied = supplyPressureAt(*result.totalFlow);
        if (!loss || !supplied)
            return result;
        answer(result, *supplied, *loss, name);
        return result;
    }

    void answer(DemandResult& result, double supplied, double loss, const QString& name) {
        const double total = *result.totalFlow;
        const std::optional<double>& zeroFlow = supply_.graph->ZeroPressureFlow;
        // Beyond its zero pressure the line gives no water at all.
        if (zeroFlow && total > *zeroFlow)
            analysis_.advice.append(
                QStringLiteral("%1: the %2 needed are beyond the %3 at which "
                               "the supply line reaches 0 %4.")
                    .arg(name, texts_.flow(total), texts_.flow(*zeroFlow), texts_.units.pressure));
        result.availablePressure = std::max(supplied, 0.0) - loss;
        result.margin = *result.availablePressure - *result.demandPressure;
        if (*result.demandPressure != 0)
            result.marginPercent = *result.margin / *result.demandPressure * 100;
        const double required = analysis_.requiredMargin.value_or(0);
        result.flowAtRequired =
            flowAtResidualPressure(supply_.graph->StaticPressure, supply_.graph->ResidualPressure,
                                   supply_.testFlow, *result.demandPressure + required + loss);
        result.projected = total > supply_.testFlow;
        if (result.projected)
            analysis_.advice.append(QStringLiteral("%1: the supply line is projected beyond the "
                                                   "tested %2.")
                                        .arg(name, texts_.flow(supply_.testFlow)));
        judge(result);
        describe(result, required + loss);
    }

    void describe(DemandResult& result, double required) const {
        const double margin = *result.margin;
        result.answerText =
            QStringLiteral("%1 needed: %2 available, %3%4 %5 the %6 needed")
                .arg(texts_.flow(*result.totalFlow), texts_.pressure(*result.availablePressure),
                     texts_.pressure(std::abs(margin)),
                     result.marginPercent ? QStringLiteral(" (%1 %)").arg(
                                                texts_.number(std::abs(*result.marginPercent)))
                                          : QString(),
                     margin < 0 ? QStringLiteral("below") : QStringLiteral("above"),
                     texts_.pressure(*result.demandPressure));
        if (result.flowAtRequired)
            result.answerText += QStringLiteral("; the supply gives %1 at %2")
                                     .arg(texts_.flow(*result.flowAtRequired),
                                          texts_.pressure(*result.demandPressure + required));
        result.answerText += QLatin1Char('.');
    }

    void judge(DemandResult& result) const {
        const double margin = *result.margin;
        const QString spare = texts_.pressure(std::abs(margin));
        if (margin < 0) {
            result.verdict = DemandResult::Verdict::FallsShort;
            result.verdictText = QStringLiteral("falls short by %1").arg(spare);
        } else if (analysis_.requiredMargin && margin < *analysis_.requiredMargin) {
            result.verdict = DemandResult::Verdict::MeetsWithoutMargin;
            result.verdictText =
                QStringLiteral("meets the demand but not the %1 safety margin (%2 to spare)")
                    .arg(texts_.pressure(*analysis_.requiredMargin), spare);
        } else {
            result.verdict = DemandResult::Verdict::Meets;
            result.verdictText = QStringLiteral("meets the demand with %1 to spare").arg(spare);
            if (analysis_.requiredMargin)
                result.verdictText += QStringLiteral(" (%1 required)")
                                          .arg(texts_.pressure(*analysis_.requiredMargin));
        }
    }

    void chooseGoverning() {
        for (qsizetype i = 0; i < analysis_.points.size(); ++i) {
            const std::optional<double>& margin = analysis_.points[i].margin;
            if (margin && (analysis_.governing < 0 ||
                           *margin < *analysis_.points[analysis_.governing].margin))
                analysis_.governing = static_cast<int>(i);
        }
    }

    void drawGraph() {
        if (!supply_.graph)
            return;
        AnalysisGraphModel model;
        double reach = 0;
        for (const DemandResult& point : std::as_const(analysis_.points)) {
            if (!point.totalFlow)
                continue;
            model.demands.append(
                {point.label, *point.demandFlow, *point.totalFlow, *point.demandPressure});
            reach = std::max(reach, *point.totalFlow);
        }
        model.graph = withFlowAxisReaching(*supply_.graph, reach, texts_.separator);
        model.flowAt20psi = supply_.flowAt20psi;
        model.twentyPsi = twentyPsi(system_);
        model.safetyMargin = analysis_.requiredMargin.value_or(0);
        analysis_.graph = model;
    }

    const TestRecord& test_;
    const MeasuredSupply& supply_;
    const UnitSystem system_;
    const AnalysisTexts texts_;
    SupplyAnalysis analysis_;
};

} // namespace

double pressurePerHeight(UnitSystem units) {
    switch (units) {
    case UnitSystem::MetricBar:
        return 0.0981;
    case UnitSystem::MetricKPa:
        return 9.81;
    case UnitSystem::US:
        break;
    }
    return 0.433;
}

std::optional<SupplyAnalysis> analyseSupply(const TestRecord& test, const MeasuredSupply& supply,
                                            UnitSystem units, QChar decimalSeparator) {
    if (test.demands.isEmpty())
        return std::nullopt;
    return Analysis(test, supply, units, decimalSeparator).run();
}
