#include "results/testresults.h"

#include "document/testfile.h"
#include "hydraulics/discharge.h"
#include "hydraulics/numbertext.h"
#include "textfile/textfile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

namespace {

// NFPA 291 asks for at least this drop for a reliable projection.
constexpr double RecommendedDropPercent = 25;
// A typed flow this far from the outlet formula's is worth a look.
constexpr double FlowMismatchFraction = 0.05;
// The coefficients outlets have: anything outside looks mistyped.
constexpr double LeastCoefficient = 0.6;
constexpr double GreatestCoefficient = 1.0;
// C 0.95 means a flow tube, which needs no pumper factor.
constexpr double FlowTubeCoefficient = 0.95;
constexpr double psiPerBar = 14.503773773;
constexpr double psiPerKPa = psiPerBar / 100;

bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// The unit texts and the separator every text of the results is made with.
struct ResultTexts {
    UnitSystem system;
    UnitTexts units;
    QChar separator;
    QString twentyPsiText; // "20 psi", "1.379 bar", "137.9 kPa"

    QString withFlowUnit(long double flow, Pattern::Decimals pattern) const {
        return formatPattern(flow, pattern, separator) + QLatin1Char(' ') + units.flow;
    }
    QString withPressureUnit(const QString& pressure) const {
        return pressure + QLatin1Char(' ') + units.pressure;
    }
    // A pressure in psi given in the test's own unit: "10 psi", "0.69 bar", "69 kPa".
    QString psiText(double psi, double bar, double kPa) const {
        const double value = system == UnitSystem::US          ? psi
                             : system == UnitSystem::MetricBar ? bar
                                                               : kPa;
        return withPressureUnit(formatGeneral(value, separator));
    }
    double inPsi(double pressure) const {
        return system == UnitSystem::US          ? pressure
               : system == UnitSystem::MetricBar ? pressure * psiPerBar
                                                 : pressure * psiPerKPa;
    }
};

ResultTexts resultTexts(const TestSnapshot& snapshot) {
    const UnitSystem units = snapshot.settings.units;
    ResultTexts texts{units, unitTexts(units), snapshot.decimalSeparator, {}};
    texts.twentyPsiText = texts.withPressureUnit(formatGeneral(twentyPsi(units), texts.separator));
    return texts;
}

// ---- Outlets that need a look

// One outlet's cells read as numbers once.
struct OutletNumbers {
    std::optional<double> size;
    std::optional<double> c;
    std::optional<double> pitot;
    std::optional<double> flow;
};

std::optional<double> cellNumber(const OutletRow& row, int column, QChar separator) {
    const QString& text = row[column];
    return isBlank(text) ? std::nullopt : readNumber(text, separator);
}

QString outletName(const OutletRow& row, qsizetype index) {
    const QString label = row[OutletRow::Label].trimmed();
    return QStringLiteral("Outlet ") +
           (label.isEmpty() ? QStringLiteral("#%1").arg(index + 1) : label);
}

// NFPA 291's coefficients for a pumper outlet read without a flow tube: the
// outlet's coefficient is multiplied by the factor of its pitot reading
// (NFPA 291, pumper outlet coefficients; the reading in psi, from 7 on the
// last).
double pumperFactor(double pitotPsi) {
    constexpr std::array<std::pair<double, double>, 6> factors{
        {{2, 0.97}, {3, 0.92}, {4, 0.89}, {5, 0.86}, {6, 0.84}, {7, 0.83}}};
    double factor = factors.front().second;
    for (const auto& [reading, value] : factors)
        if (pitotPsi >= reading)
            factor = value;
    return factor;
}

// Pumper outlets are 4 to 6 in (100 to 150 mm); far larger sizes are of
// another unit system, which has advice of its own.
bool isPumperOutlet(double size, UnitSystem units) {
    return units == UnitSystem::US ? size >= 4 && size <= 12 : size >= 100 && size <= 300;
}

class OutletAdvice {
public:
    OutletAdvice(const ResultTexts& texts, const OutletRow& row, qsizetype index,
                 std::optional<double> flow)
        : texts_(texts), row_(row), name_(outletName(row, index)),
          numbers_{cellNumber(row, OutletRow::Size, texts.separator),
                   cellNumber(row, OutletRow::C, texts.separator),
                   cellNumber(row, OutletRow::Pitot, texts.separator), flow} {}

    QStringList lines() {
        mistyped();
        lowPitot();
        pumperOutlet();
        flowAgainstPitot();
        return lines_;
    }

private:
    QString cell(int column) const { return row_[column].trimmed(); }
    void add(const QString& text) { lines_.append(name_ + QStringLiteral(": ") + text); }

    void mistyped() {
        const auto& [size, c, pitot, typed] = numbers_;
        if (c && (*c < LeastCoefficient || *c > GreatestCoefficient))
            add(QStringLiteral("C %1 looks mistyped; usual values are 0.90 smooth and well "
                               "rounded, 0.80 square and sharp, 0.70 square and projecting into "
                               "the barrel, 0.95 with a flow tube")
                    .arg(cell(OutletRow::C)));
        if (size && *size <= 0)
            add(QStringLiteral("size %1 %2 looks mistyped")
                    .arg(cell(OutletRow::Size), texts_.units.size));
        if (pitot && *pitot < 0)
            add(QStringLiteral("pitot %1 looks mistyped")
                    .arg(texts_.withPressureUnit(cell(OutletRow::Pitot))));
    }

    void lowPitot() {
        const std::optional<double>& pitot = numbers_.pitot;
        if (pitot && *pitot >= 0 && texts_.inPsi(*pitot) < 10 - 1e-9)
            add(QStringLiteral("%1 pitot; NFPA 291 recommends avoiding readings under %2: open "
                               "fewer outlets or a smaller one")
                    .arg(texts_.withPressureUnit(cell(OutletRow::Pitot)),
                         texts_.psiText(10, 0.69, 69)));
    }

    void pumperOutlet() {
        const auto& [size, c, pitot, typed] = numbers_;
        if (!size || !c || !pitot || *pitot <= 0 || !isPumperOutlet(*size, texts_.system) ||
            *c == FlowTubeCoefficient || *c <= 0)
            return;
        const double factor = pumperFactor(texts_.inPsi(*pitot));
        const long double flow = outletFlow(*size, *c * factor, *pitot, texts_.system);
        add(QStringLiteral("a %1 %2 outlet at %3; for a pumper outlet without a flow tube NFPA "
                           "291 gives a factor of %4: C %5, %6")
                .arg(cell(OutletRow::Size), texts_.units.size,
                     texts_.withPressureUnit(cell(OutletRow::Pitot)),
                     formatFixed(factor, 2, 2, texts_.separator),
                     formatFixed(*c * factor, 2, 2, texts_.separator),
                     texts_.withFlowUnit(flow, Pattern::Whole)));
    }

    // A pitot reading whose flow is missing, or a typed flow far from it.
    void flowAgainstPitot() {
        const auto& [size, c, pitot, flow] = numbers_;
        if (!size || !c || !pitot)
            return;
        // As ComputeFlow gives it, from the numbers already read.
        const std::optional<long double> computed =
            wholeOutletFlow(*size, *c, *pitot, texts_.system);
        if (!computed)
            return;
        const QString pitotText = texts_.withPressureUnit(cell(OutletRow::Pitot));
        if (isBlank(row_[OutletRow::Flow])) {
            add(QStringLiteral("%1 pitot but no flow; enter its Flow cell to compute it")
                    .arg(pitotText));
            return;
        }
        const double computedFlow = static_cast<double>(*computed);
        if (flow && std::abs(*flow - computedFlow) > FlowMismatchFraction * std::abs(computedFlow))
            add(QStringLiteral("%1 %2 typed, %3 %2 from %4 on %5 %6 at C %7")
                    .arg(cell(OutletRow::Flow), texts_.units.flow,
                         QString::number(static_cast<qint64>(*computed)), pitotText,
                         cell(OutletRow::Size), texts_.units.size, cell(OutletRow::C)));
    }

    const ResultTexts& texts_;
    const OutletRow& row_;
    const QString name_;
    const OutletNumbers numbers_;
    QStringList lines_;
};

// Rows without any of size, C and pitot (most often the empty last one)
// need no look.
bool mayNeedALook(const OutletRow& row) {
    return !isBlank(row[OutletRow::Size]) || !isBlank(row[OutletRow::C]) ||
           !isBlank(row[OutletRow::Pitot]);
}

// One pass over the outlets: the total flow (flow cells that read as
// numbers, summed; an empty or unreadable one left out) and their advice.
struct OutletsRead {
    double totalFlow = 0;
    QStringList advice;
};

OutletsRead readOutlets(const QList<OutletRow>& outlets, const ResultTexts& texts) {
    OutletsRead read;
    qsizetype more = 0;
    for (qsizetype i = 0; i < outlets.size(); ++i) {
        const OutletRow& row = outlets[i];
        const std::optional<double> flow =
            row[OutletRow::Flow].isEmpty() ? std::nullopt
                                           : readNumber(row[OutletRow::Flow], texts.separator);
        if (flow)
            read.totalFlow += *flow;
        if (!mayNeedALook(row))
            continue;
        const QStringList lines = OutletAdvice(texts, row, i, flow).lines();
        if (lines.isEmpty())
            continue;
        if (read.advice.size() < MaxOutletAdviceLines)
            read.advice += lines;
        else
            ++more;
    }
    if (more > 0)
        read.advice.append(more == 1 ? QStringLiteral("and 1 more outlet")
                                     : QStringLiteral("and %1 more outlets").arg(more));
    return read;
}

// ---- Numbers that look like another unit system

QString relabelWarning(const QString& what, const QString& looksLike, const ResultTexts& texts) {
    const QString options = texts.system == UnitSystem::US
                                ? QStringLiteral("U.S. units")
                                : QStringLiteral("metric units with ") + texts.units.pressure;
    return QStringLiteral("%1 look%2 like %3, but the options are set to %4; changing the units "
                          "relabels the values and never converts them.")
        .arg(what, what.startsWith(QLatin1String("Outlet sizes")) ? QString() : QStringLiteral("s"),
             looksLike, options);
}

QStringList otherUnitsAdvice(const TestSnapshot& snapshot, std::optional<double> staticPressure,
                             const ResultTexts& texts) {
    QStringList lines;
    const bool us = texts.system == UnitSystem::US;
    // Hydrant outlets are 1.5 to 6 in, or 38 to 150 mm.
    for (const OutletRow& row : snapshot.test.outlets) {
        const QString& text = row[OutletRow::Size];
        if (isBlank(text))
            continue;
        const std::optional<double> size = readNumber(text, texts.separator);
        if (size && *size > 0 && (us ? *size > 12 : *size < 10)) {
            lines.append(relabelWarning(
                QStringLiteral("Outlet sizes such as %1 %2").arg(text.trimmed(), texts.units.size),
                us ? QStringLiteral("millimetres") : QStringLiteral("inches"), texts));
            break;
        }
    }
    if (!staticPressure)
        return lines;
    const double S = *staticPressure;
    QString looksLike;
    if (us && S > 300)
        looksLike = QStringLiteral("kPa");
    else if (texts.system == UnitSystem::MetricBar && S > 20)
        looksLike = QStringLiteral("psi or kPa");
    else if (texts.system == UnitSystem::MetricKPa && S > 0 && S < 20)
        looksLike = QStringLiteral("bar");
    if (!looksLike.isEmpty())
        lines.append(
            relabelWarning(QStringLiteral("A static pressure of %1")
                               .arg(texts.withPressureUnit(snapshot.test.staticPressure.trimmed())),
                           looksLike, texts));
    return lines;
}

// ---- What stops a result

// Which pressure keeps the graph and the rating from being drawn: one that
// is missing, or one that does not read as a number, quoted as typed.
QStringList pressureStops(const TestRecord& test, const TestResults& results) {
    const std::array<std::tuple<const char*, const QString&, bool>, 2> pressures{{
        {"static", test.staticPressure, results.staticPressure.has_value()},
        {"residual", test.residualPressure, results.residualPressure.has_value()},
    }};
    QStringList missing;
    QStringList notNumbers;
    for (const auto& [name, text, reads] : pressures) {
        if (isBlank(text))
            missing.append(QString::fromLatin1(name));
        else if (!reads)
            notNumbers.append(QStringLiteral("The %1 pressure \"%2\" is not a number.")
                                  .arg(QString::fromLatin1(name), messageExcerpt(text.trimmed())));
    }
    if (missing.isEmpty())
        return notNumbers;
    return QStringList{QStringLiteral("Enter the %1 pressure.")
                           .arg(missing.join(QStringLiteral(" and the ")))} +
           notNumbers;
}

QStringList stops(const TestSnapshot& snapshot, const TestResults& results,
                  const ResultTexts& texts) {
    const TestRecord& test = snapshot.test;
    QStringList lines;
    if (!(results.totalFlow > 0))
        lines.append(QStringLiteral("No flow yet: enter the outlets' flows, or their size, C and "
                                    "pitot pressure and then their Flow cells."));
    const std::optional<double>& S = results.staticPressure;
    const std::optional<double>& R = results.residualPressure;
    if (!S || !R) {
        lines += pressureStops(test, results);
        return lines;
    }
    if (*S < *R) {
        lines.append(QStringLiteral("The static pressure (%1) is below the residual pressure (%2): "
                                    "no graph and no rating.")
                         .arg(texts.withPressureUnit(test.staticPressure.trimmed()),
                              texts.withPressureUnit(test.residualPressure.trimmed())));
        return lines;
    }
    if (!results.graph)
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

QString classText(NfpaClass rating) {
    const NfpaClassInfo& info = nfpaClassInfo(rating);
    return QString::fromLatin1(info.name) + QStringLiteral(" (") +
           QString::fromLatin1(info.capColourName) + QLatin1Char(')');
}

void rate(TestResults& results, const ResultTexts& texts) {
    results.rating = rateHydrant(results.staticPressure, results.residualPressure,
                                 results.totalFlow, texts.system);
    results.flowAt20psiLabel = QStringLiteral("Flow at ") + texts.twentyPsiText;
    if (results.rating.flowAt20psi)
        results.flowAt20psiText = texts.withFlowUnit(*results.rating.flowAt20psi, Pattern::Whole);
    if (results.rating.nfpaClass)
        results.nfpaClassText = classText(*results.rating.nfpaClass);
    if (results.rating.dropPercent)
        results.dropText =
            formatPattern(*results.rating.dropPercent, Pattern::ExactlyOne, texts.separator) +
            QStringLiteral(" %");
}

void drawGraph(TestResults& results, const TestSnapshot& snapshot) {
    const std::optional<double>& S = results.staticPressure;
    const std::optional<double>& R = results.residualPressure;
    // A graph through a pressure of 0 that nobody typed would print an
    // invented rating: an unreadable pressure draws none.
    if (!S || !R || !flowGraphPreconditionHolds(*S, *R, results.totalFlow))
        return;
    results.graph =
        BuildFlowGraphModel(*S, *R, results.totalFlow, reportGraphDivisions, reportGraphDivisions,
                            snapshot.settings, snapshot.decimalSeparator);
    if (!results.graph->NoteText.isEmpty())
        // As the graph reads it: a pressure text that is not a number counts as 0.
        results.chosenPressure =
            readNumber(snapshot.settings.extraPressure, snapshot.decimalSeparator).value_or(0.0);
}

} // namespace

TestResults computeTestResults(const TestSnapshot& snapshot) {
    const ResultTexts texts = resultTexts(snapshot);
    const TestRecord& test = snapshot.test;
    TestResults results;
    results.units = texts.units;
    results.staticPressure = readNumber(test.staticPressure, texts.separator);
    results.residualPressure = readNumber(test.residualPressure, texts.separator);
    const OutletsRead outlets = readOutlets(test.outlets, texts);
    results.totalFlow = outlets.totalFlow;
    results.totalText = texts.withFlowUnit(results.totalFlow, Pattern::UpToOne);
    // The report prints no total under a single outlet row.
    if (windowOutletRows(test).size() > 1) {
        results.totalLabel = QStringLiteral("Total");
        results.totalLine = results.totalText;
    }
    drawGraph(results, snapshot);
    rate(results, texts);
    results.stops = stops(snapshot, results, texts);
    if (results.rating.dropPercent && *results.rating.dropPercent < RecommendedDropPercent)
        results.advice.append(QStringLiteral("The residual drop is below 25 %: NFPA 291 (2010) "
                                             "recommends a drop of at least 25 %, so the "
                                             "projection to %1 is less reliable.")
                                  .arg(texts.twentyPsiText));
    results.advice += otherUnitsAdvice(snapshot, results.staticPressure, texts);
    results.advice += outlets.advice;
    results.analysis = analyseSupply(test,
                                     {results.staticPressure, results.residualPressure,
                                      results.totalFlow, results.graph, results.rating.flowAt20psi},
                                     texts.system, texts.separator);
    if (results.analysis) {
        results.stops += results.analysis->stops;
        results.advice += results.analysis->advice;
    }
    return results;
}

QString chosenPressureNote(const TestResults& results) {
    return results.graph ? results.graph->NoteText : QString();
}

QColor nfpaCapColour(NfpaClass rating) {
    return QColor::fromRgb(nfpaClassInfo(rating).capColour);
}

QStringList resultLines(const TestResults& results) {
    QStringList lines;
    const auto addLine = [&lines](const QString& label, const QString& value) {
        if (!value.isEmpty())
            lines.append(label + QStringLiteral(": ") + value);
    };
    addLine(QStringLiteral("Total flow"), results.totalText);
    addLine(QStringLiteral("Flow at the chosen pressure"), chosenPressureNote(results));
    addLine(results.flowAt20psiLabel, results.flowAt20psiText);
    addLine(QStringLiteral("NFPA 291 class"), results.nfpaClassText);
    addLine(QStringLiteral("Residual drop"), results.dropText);
    return lines;
}
