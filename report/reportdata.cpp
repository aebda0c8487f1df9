#include "report/reportdata.h"

#include "document/testfile.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/numbertext.h"

#include <optional>

ReportUnits reportUnits(UnitSystem units) {
    switch (units) {
    case UnitSystem::US:
        return {QStringLiteral("ft"), QStringLiteral("gpm"), QStringLiteral("psi")};
    case UnitSystem::MetricBar:
        return {QStringLiteral("m"), QStringLiteral("lpm"), QStringLiteral("bar")};
    case UnitSystem::MetricKPa:
        return {QStringLiteral("m"), QStringLiteral("lpm"), QStringLiteral("kPa")};
    }
    return {QStringLiteral("ft"), QStringLiteral("gpm"), QStringLiteral("psi")};
}

double totalFlow(const TestRecord& record, QChar decimalSeparator) {
    double sum = 0.0;
    for (const OutletRow& outlet : record.outlets) {
        const QString& flow = outlet[OutletRow::Flow];
        if (flow.isEmpty())
            continue;
        if (const auto value = readNumber(flow, decimalSeparator))
            sum += *value;
    }
    return sum;
}

double totalFlow(const TestRecord& record) {
    return totalFlow(record, localeDecimalSeparator());
}

TotalLine totalLine(const TestRecord& record, const ReportUnits& units, QChar decimalSeparator) {
    if (windowOutletRows(record).size() == 1)
        return {};
    const QString sum =
        formatPattern(totalFlow(record, decimalSeparator), Pattern::UpToOne, decimalSeparator);
    return {QStringLiteral("Total"), sum + QLatin1Char(' ') + units.flow};
}

TotalLine totalLine(const TestRecord& record, const ReportUnits& units) {
    return totalLine(record, units, localeDecimalSeparator());
}

GraphInputs graphInputs(const TestRecord& record, QChar decimalSeparator) {
    GraphInputs inputs;
    const std::optional<double> S = readNumber(record.staticPressure, decimalSeparator);
    const std::optional<double> R = readNumber(record.residualPressure, decimalSeparator);
    inputs.S = S.value_or(0.0);
    inputs.R = R.value_or(0.0);
    inputs.Q = totalFlow(record, decimalSeparator);
    inputs.drawn = S && R && flowGraphPreconditionHolds(inputs.S, inputs.R, inputs.Q);
    return inputs;
}

GraphInputs graphInputs(const TestRecord& record) {
    return graphInputs(record, localeDecimalSeparator());
}
