#include "results/testresults.h"

#include "hydraulics/discharge.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/numbertext.h"
#include "results/testrating.h"
#include "textfile/textfile.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// NFPA 291 asks for at least this drop for a reliable projection.
constexpr double RecommendedDropPercent = 25;
// A typed flow this far from the outlet formula's is worth a look.
constexpr double FlowMismatchFraction = 0.05;

// The unit texts and the separator every text of the results is made with.
struct ResultTexts {
    ReportUnits units;
    QString size; // "in" or "mm"
    QChar separator;
    QString twentyPsiText; // "20 psi", "1.379 bar", "137.9 kPa"

    QString withFlowUnit(long double flow, Pattern::Decimals pattern) const {
        return formatPattern(flow, pattern, separator) + QLatin1Char(' ') + units.flow;
    }
    QString withPressureUnit(const QString& pressure) const {
        return pressure + QLatin1Char(' ') + units.pressure;
    }
};

ResultTexts resultTexts(const ReportSnapshot& snapshot) {
    const UnitSystem units = snapshot.settings.units;
    ResultTexts texts{reportUnits(units),
                      units == UnitSystem::US ? QStringLiteral("in") : QStringLiteral("mm"),
                      snapshot.decimalSeparator,
                      {}};
    texts.twentyPsiText = texts.withPressureUnit(formatGeneral(twentyPsi(units), texts.separator));
    return texts;
}

bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// ---- Outlets that need a look

enum class OutletLook {
    None,
    FlowMissing, // size, C and pitot give a flow, but the Flow cell is empty
    FlowDiffers, // the typed flow is far from what size, C and pitot give
};

struct OutletCheck {
    OutletLook look = OutletLook::None;
    QString computedFlow; // ComputeFlow's text
};

bool differsMuch(double typed, double computed) {
    return std::abs(typed - computed) > FlowMismatchFraction * std::abs(computed);
}

OutletCheck checkOutlet(const OutletRow& row, UnitSystem units, QChar separator) {
    // Most rows are complete or empty; skip the formula for rows it cannot use.
    if (isBlank(row[OutletRow::Size]) || isBlank(row[OutletRow::C]) ||
        isBlank(row[OutletRow::Pitot]))
        return {};
    const QString computed = ComputeFlow(row, units, separator);
    if (computed.isEmpty())
        return {};
    const QString& typed = row[OutletRow::Flow];
    if (isBlank(typed))
        return {OutletLook::FlowMissing, computed};
    const std::optional<double> typedFlow = readNumber(typed, separator);
    // ComputeFlow writes a whole number in C form.
    if (typedFlow && differsMuch(*typedFlow, computed.toDouble()))
        return {OutletLook::FlowDiffers, computed};
    return {};
}

QString outletName(const OutletRow& row, qsizetype index) {
    const QString label = row[OutletRow::Label].trimmed();
    return QStringLiteral("Outlet ") +
           (label.isEmpty() ? QStringLiteral("#%1").arg(index + 1) : label);
}

QString outletAdviceLine(const OutletRow& row, qsizetype index, const OutletCheck& check,
                         const ResultTexts& texts) {
    const QString pitot = texts.withPressureUnit(row[OutletRow::Pitot].trimmed());
    if (check.look == OutletLook::FlowMissing)
        return QStringLiteral("%1: %2 pitot but no flow; enter its Flow cell to compute it")
            .arg(outletName(row, index), pitot);
    return QStringLiteral("%1: %2 %3 typed, %4 %3 from %5 on %6 %7 at C %8")
        .arg(outletName(row, index), row[OutletRow::Flow].trimmed(), texts.units.flow,
             check.computedFlow, pitot, row[OutletRow::Size].trimmed(), texts.size,
             row[OutletRow::C].trimmed());
}

QStringList outletAdvice(const QList<OutletRow>& outlets, UnitSystem units,
                         const ResultTexts& texts) {
    QStringList lines;
    qsizetype more = 0;
    for (qsizetype i = 0; i < outlets.size(); ++i) {
        const OutletCheck check = checkOutlet(outlets[i], units, texts.separator);
        if (check.look == OutletLook::None)
            continue;
        if (lines.size() < MaxOutletAdviceLines)
            lines.append(outletAdviceLine(outlets[i], i, check, texts));
        else
            ++more;
    }
    if (more > 0)
        lines.append(more == 1 ? QStringLiteral("and 1 more outlet")
                               : QStringLiteral("and %1 more outlets").arg(more));
    return lines;
}

// ---- What stops a result

// Which pressure keeps the graph and the rating from being drawn: one that
// is missing, or one that does not read as a number, quoted as typed.
QStringList pressureStops(const TestRecord& test, QChar separator) {
    QStringList missing;
    QStringList notNumbers;
    const auto check = [&](const char* name, const QString& text) {
        if (isBlank(text))
            missing.append(QString::fromLatin1(name));
        else if (!readNumber(text, separator))
            notNumbers.append(QStringLiteral("The %1 pressure \"%2\" is not a number.")
                                  .arg(QString::fromLatin1(name), messageExcerpt(text.trimmed())));
    };
    check("static", test.staticPressure);
    check("residual", test.residualPressure);
    QStringList lines;
    if (!missing.isEmpty())
        lines.append(QStringLiteral("Enter the %1 pressure.")
                         .arg(missing.join(QStringLiteral(" and the "))));
    return lines + notNumbers;
}

QStringList stops(const ReportSnapshot& snapshot, const GraphInputs& graph,
                  const ResultTexts& texts) {
    const TestRecord& test = snapshot.test;
    QStringList lines;
    if (!(graph.Q > 0))
        lines.append(QStringLiteral("No flow yet: enter the outlets' flows, or their size, C and "
                                    "pitot pressure and then their Flow cells."));
    const std::optional<double> S = readNumber(test.staticPressure, texts.separator);
    const std::optional<double> R = readNumber(test.residualPressure, texts.separator);
    if (!S || !R) {
        lines += pressureStops(test, texts.separator);
        return lines;
    }
    if (*S < *R) {
        lines.append(QStringLiteral("The static pressure (%1) is below the residual pressure (%2): "
                                    "no graph and no rating.")
                         .arg(texts.withPressureUnit(test.staticPressure.trimmed()),
                              texts.withPressureUnit(test.residualPressure.trimmed())));
        return lines;
    }
    if (!graph.drawn)
        return lines;
    if (*S <= twentyPsi(snapshot.settings.units))
        lines.append(QStringLiteral("The static pressure is at or below %1: no rating at %1.")
                         .arg(texts.twentyPsiText));
    else if (*S == *R)
        lines.append(QStringLiteral("The static and the residual pressure are equal: no pressure "
                                    "drop, so no rating at %1.")
                         .arg(texts.twentyPsiText));
    return lines;
}

QString chosenPressureNote(const ReportSnapshot& snapshot, const GraphInputs& graph) {
    if (!graph.drawn || !snapshot.settings.showExtraFlow)
        return {};
    return BuildFlowGraphModel(graph.S, graph.R, graph.Q, reportGraphDivisions,
                               reportGraphDivisions, snapshot.settings, snapshot.decimalSeparator)
        .NoteText;
}

QString classText(NfpaClass rating) {
    return nfpaClassName(rating) + QStringLiteral(" (") + nfpaCapColourName(rating) +
           QLatin1Char(')');
}

} // namespace

TestResults computeTestResults(const ReportSnapshot& snapshot) {
    const ResultTexts texts = resultTexts(snapshot);
    const UnitSystem units = snapshot.settings.units;
    TestResults results;
    results.graph = graphInputs(snapshot.test, texts.separator);
    results.totalFlow = results.graph.Q;
    results.totalText = texts.withFlowUnit(results.totalFlow, Pattern::UpToOne);
    results.chosenPressureNote = chosenPressureNote(snapshot, results.graph);

    results.rating = testRating(snapshot.test, units, texts.separator);
    results.flowAt20psiLabel = QStringLiteral("Flow at ") + texts.twentyPsiText;
    if (results.rating.flowAt20psi)
        results.flowAt20psiText = texts.withFlowUnit(*results.rating.flowAt20psi, Pattern::Whole);
    if (results.rating.nfpaClass)
        results.nfpaClassText = classText(*results.rating.nfpaClass);
    if (results.rating.dropPercent)
        results.dropText =
            formatPattern(*results.rating.dropPercent, Pattern::ExactlyOne, texts.separator) +
            QStringLiteral(" %");

    results.stops = stops(snapshot, results.graph, texts);
    if (results.rating.dropPercent && *results.rating.dropPercent < RecommendedDropPercent)
        results.advice.append(
            QStringLiteral("The residual drop is below 25 %: NFPA 291 recommends a drop of at "
                           "least 25 %, so the projection to %1 is less reliable.")
                .arg(texts.twentyPsiText));
    results.advice += outletAdvice(snapshot.test.outlets, units, texts);
    return results;
}

QColor nfpaCapColour(NfpaClass rating) {
    // Deep enough to stand out on a light window and to carry white text.
    switch (rating) {
    case NfpaClass::AA:
        return QColor(0x29, 0x9e, 0xd9); // light blue
    case NfpaClass::A:
        return QColor(0x2e, 0x9e, 0x44); // green
    case NfpaClass::B:
        return QColor(0xf0, 0x8a, 0x1c); // orange
    case NfpaClass::C:
        break;
    }
    return QColor(0xd3, 0x2f, 0x2f); // red
}

QString nfpaCapColourName(NfpaClass rating) {
    switch (rating) {
    case NfpaClass::AA:
        return QStringLiteral("light blue");
    case NfpaClass::A:
        return QStringLiteral("green");
    case NfpaClass::B:
        return QStringLiteral("orange");
    case NfpaClass::C:
        break;
    }
    return QStringLiteral("red");
}

QStringList resultLines(const TestResults& results) {
    QStringList lines;
    const auto addLine = [&lines](const QString& label, const QString& value) {
        if (!value.isEmpty())
            lines.append(label + QStringLiteral(": ") + value);
    };
    addLine(QStringLiteral("Total flow"), results.totalText);
    addLine(QStringLiteral("Flow at the chosen pressure"), results.chosenPressureNote);
    addLine(results.flowAt20psiLabel, results.flowAt20psiText);
    addLine(QStringLiteral("NFPA 291 class"), results.nfpaClassText);
    addLine(QStringLiteral("Residual drop"), results.dropText);
    return lines;
}
