// The flow graph numbers and drawing for any static pressure, residual
// pressure and flow, any chosen pressure text and unit system. Nothing may
// crash or turn a NaN or an infinity into a coordinate (the undefined
// behaviour sanitizer stops at such a conversion), and nothing may land
// outside the picture except what the layout allows:
// - every line lies inside the plot, and the plot inside the 600 x 270 picture;
// - every text lies between the top and the bottom of the picture and ends
//   left of its right edge, but for an inner flow label wider than the last
//   one, which only other than five divisions give;
// - pressure labels and the flow label 0 start inside the picture: the left
//   margin grows for a wide pressure label (a flow near the largest double
//   overflows the flow maximum, and the label 0 then reads "NAN");
// - the other flow labels are centred under their lines, so a very wide one
//   near a narrow margin may start left of the picture;
// - the note ends inside the plot and may start left of the picture when it
//   is long.
// Text is measured by a font whose widths the input picks, or now and then by
// the real picture canvas.
#include "fuzzcheck.h"
#include "recordingcanvas.h"

#include "graph/flowgraph.h"
#include "graph/flowgraphpicture.h"
#include "graph/picturecanvas.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/numbertext.h"

#include <QGuiApplication>
#include <QPicture>

#include <cmath>
#include <cstring>
#include <optional>

namespace {

struct GraphInput {
    double S = 0;
    double R = 0;
    double Q = 0;
    int flowDivisions = 5;
    int pressureDivisions = 5;
    Settings settings;
    QChar separator = '.';
    bool realFont = false;
    SyntheticFontCanvas::Metrics metrics;
};

// Any bit pattern (NaN and infinities included), a value in a tester's range,
// the value before it (for S = R), or zero.
double fuzzValue(FuzzedDataProvider& data, double previous) {
    switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0: {
        double value = 0;
        const auto raw = data.ConsumeBytes<uint8_t>(sizeof value);
        if (!raw.empty())
            std::memcpy(&value, raw.data(), raw.size());
        return value;
    }
    case 1:
        return data.ConsumeFloatingPointInRange(-100.0, 20000.0);
    case 2:
        return previous;
    default:
        return 0;
    }
}

// Widths no wider than a wide letter, so that the widest labels the general
// format writes (20 characters) leave the plot some room.
SyntheticFontCanvas::Metrics fuzzMetrics(FuzzedDataProvider& data) {
    SyntheticFontCanvas::Metrics m;
    m.digit = data.ConsumeIntegralInRange(4, 12);
    m.separator = data.ConsumeIntegralInRange(2, 12);
    m.exponent = data.ConsumeIntegralInRange(4, 16);
    m.minus = data.ConsumeIntegralInRange(2, 12);
    m.other = data.ConsumeIntegralInRange(1, 24);
    m.height = data.ConsumeIntegralInRange(8, 32);
    return m;
}

GraphInput fuzzInput(FuzzedDataProvider& data) {
    GraphInput in;
    in.S = fuzzValue(data, 0);
    in.R = fuzzValue(data, in.S);
    in.Q = fuzzValue(data, in.R);
    if (!data.ConsumeBool()) {
        in.flowDivisions = data.ConsumeIntegralInRange(0, 12);
        in.pressureDivisions = data.ConsumeIntegralInRange(0, 12);
    }
    constexpr UnitSystem units[] = {UnitSystem::US, UnitSystem::MetricBar, UnitSystem::MetricKPa};
    in.settings.units = units[data.ConsumeIntegralInRange(0, 2)];
    in.settings.showExtraFlow = data.ConsumeBool();
    in.separator = fuzzSeparator(data);
    in.realFont = data.ConsumeIntegralInRange(0, 15) == 0;
    in.metrics = fuzzMetrics(data);
    in.settings.extraPressure = fuzzText(data, 16);
    return in;
}

QString describe(const GraphInput& in) {
    return QStringLiteral("S=%1 R=%2 Q=%3 NQ=%4 NP=%5 pressure=%6")
        .arg(in.S, 0, 'g', 17)
        .arg(in.R, 0, 'g', 17)
        .arg(in.Q, 0, 'g', 17)
        .arg(in.flowDivisions)
        .arg(in.pressureDivisions)
        .arg(visible(in.settings.extraPressure));
}

void checkModel(const FlowGraphModel& m, const GraphInput& in) {
    const QString seen = describe(in);
    fuzzCheck(m.flowLabels.size() == in.flowDivisions + 1, "a label per flow line", seen);
    fuzzCheck(m.pressureLabels.size() == in.pressureDivisions + 1, "a label per pressure line",
              seen);
    // Near the largest double the axis maxima overflow and the labels read
    // "INF"; short of that every label is a number.
    const bool withinRange = std::fabs(in.S) < 1e300 && m.flowExtent < 1e300;
    if (withinRange) {
        fuzzCheck(std::isfinite(m.FlowAxisMax) && m.FlowAxisMax > 0, "a finite flow maximum", seen);
        fuzzCheck(std::isfinite(m.PressureAxisMax) && m.PressureAxisMax > 0,
                  "a finite pressure maximum", seen);
        for (const QStringList* labels : {&m.flowLabels, &m.pressureLabels})
            for (const QString& label : *labels)
                fuzzCheck(readNumber(label, in.separator).has_value(), "an axis label is a number",
                          seen + ' ' + visible(label));
    }
    // While whole numbers are exact, the flow maximum lies strictly beyond
    // the extent and the pressure maximum reaches 1.05 S.
    if (m.flowExtent < 1e15)
        fuzzCheck(m.FlowAxisMax > m.flowExtent, "the flow maximum lies beyond the extent", seen);
    if (in.S < 1e15)
        fuzzCheck(m.PressureAxisMax >= 1.05 * in.S * (1 - 1e-12),
                  "the pressure maximum reaches 1.05 S", seen);
    if (!m.NoteText.isEmpty()) {
        const QString unit = in.settings.units == UnitSystem::US          ? "psi"
                             : in.settings.units == UnitSystem::MetricBar ? "bar"
                                                                          : "kPa";
        fuzzCheck(m.NoteText.endsWith(" at " + in.settings.extraPressure + ' ' + unit),
                  "the note repeats the pressure as typed", seen + ' ' + visible(m.NoteText));
    }
}

struct Plot {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool holds(QPoint p) const {
        return p.x() >= left && p.x() <= right && p.y() >= top && p.y() <= bottom;
    }
};

// The first line drawn is the flow line 0, the left edge from top to bottom;
// the major flow lines are the ones that reach from top to bottom, and the
// last of them is the right edge.
Plot plotOf(const QList<RecordingCanvas::Line>& lines, int flowDivisions, const QString& seen) {
    fuzzCheck(!lines.isEmpty(), "a graph has lines", seen);
    Plot plot;
    plot.left = lines.first().from.x();
    plot.top = lines.first().from.y();
    plot.bottom = lines.first().to.y();
    int majors = 0;
    for (const RecordingCanvas::Line& line : lines) {
        if (line.from.x() == line.to.x() && line.from.y() == plot.top &&
            line.to.y() == plot.bottom) {
            plot.right = line.from.x();
            if (++majors == flowDivisions + 1)
                break;
        }
    }
    fuzzCheck(majors == flowDivisions + 1, "every major flow line spans the plot", seen);
    fuzzCheck(0 <= plot.left && plot.left <= plot.right && plot.right <= FlowGraphWidth,
              "the plot lies across the picture", seen);
    fuzzCheck(0 <= plot.top && plot.top <= plot.bottom && plot.bottom <= FlowGraphHeight,
              "the plot lies down the picture", seen);
    return plot;
}

void checkLines(const RecordingCanvas& canvas, const Plot& plot, const FlowGraphModel& m,
                const QString& seen) {
    const QList<RecordingCanvas::Line>& lines = canvas.lines();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const RecordingCanvas::Line& line = lines[i];
        const QString where = seen + QStringLiteral(" line %1: (%2,%3)-(%4,%5)")
                                         .arg(i)
                                         .arg(line.from.x())
                                         .arg(line.from.y())
                                         .arg(line.to.x())
                                         .arg(line.to.y());
        fuzzCheck(plot.holds(line.from) && plot.holds(line.to), "every line lies in the plot",
                  where);
        fuzzCheck(line.penWidth == 1 || i == lines.size() - 1,
                  "only the last line, the supply line, is wide", where);
    }
    const bool supplyDrawn = lines.last().penWidth == 2;
    fuzzCheck(supplyDrawn == (m.supplyLineEnd != SupplyLineEnd::None),
              "the supply line is drawn wherever it has an end", seen);
    if (supplyDrawn)
        fuzzCheck(lines.last().from.x() == plot.left, "the supply line starts on the left edge",
                  seen);
}

void checkTexts(const RecordingCanvas& canvas, const Plot& plot, const FlowGraphModel& m,
                const QString& seen) {
    const QList<RecordingCanvas::Text>& texts = canvas.texts();
    const qsizetype flowCount = m.flowLabels.size();
    const qsizetype pressureCount = m.pressureLabels.size();
    const bool hasNote = !m.NoteText.isEmpty();
    fuzzCheck(texts.size() == flowCount + pressureCount + (hasNote ? 1 : 0),
              "the labels and the note are all the text", seen);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const RecordingCanvas::Text& text = texts[i];
        const bool flowLabel = i < flowCount;
        const bool pressureLabel = !flowLabel && i < flowCount + pressureCount;
        const QString expected = flowLabel       ? m.flowLabels[i]
                                 : pressureLabel ? m.pressureLabels[i - flowCount]
                                                 : m.NoteText;
        const QString where = seen + QStringLiteral(" text %1 %2 at (%3,%4) size %5x%6")
                                         .arg(i)
                                         .arg(visible(text.text))
                                         .arg(text.at.x())
                                         .arg(text.at.y())
                                         .arg(text.width)
                                         .arg(text.height);
        fuzzCheck(text.text == expected, "labels, then the note, in drawing order", where);
        fuzzCheck(text.at.y() >= 0 && text.bottom() <= FlowGraphHeight,
                  "every text lies between top and bottom", where);
        // Room is kept right of the plot for the last flow label; with other
        // than five divisions an inner label may be wider (2/9 of a maximum
        // has more digits than the maximum) and is not held inside.
        const bool widerThanLastFlowLabel = flowLabel && text.width > texts[flowCount - 1].width;
        if (!widerThanLastFlowLabel)
            fuzzCheck(text.right() <= FlowGraphWidth, "every text ends inside the picture", where);
        // A flow far beyond any hydrant's overflows the flow maximum, and the
        // label under line 0 then reads "NAN" rather than "0".
        const bool zeroFlowLabel = i == 0 && std::isfinite(m.FlowAxisMax);
        if (pressureLabel || zeroFlowLabel)
            fuzzCheck(text.at.x() >= 0, "pressure labels and the flow label 0 start inside", where);
        if (pressureLabel)
            fuzzCheck(text.right() <= plot.left, "pressure labels stand left of the plot", where);
        if (flowLabel) {
            const int centre = text.at.x() + text.width / 2;
            fuzzCheck(centre >= plot.left && centre <= plot.right + 1,
                      "flow labels stand under the plot", where);
            fuzzCheck(text.at.y() >= plot.bottom, "flow labels stand below the plot", where);
        }
        if (!flowLabel && !pressureLabel)
            fuzzCheck(text.right() <= plot.right && text.at.y() >= plot.top,
                      "the note stands inside the plot's top right corner", where);
    }
}

void drawAndCheck(GraphCanvas& measure, const GraphInput& in) {
    RecordingCanvas canvas(measure);
    DrawFlowGraph(canvas, in.flowDivisions, in.pressureDivisions, in.S, in.R, in.Q, in.settings,
                  in.separator);
    const QString seen = describe(in);
    const bool drawable = flowGraphPreconditionHolds(in.S, in.R, in.Q) && in.flowDivisions >= 1 &&
                          in.pressureDivisions >= 1;
    if (!drawable) {
        fuzzCheck(canvas.lines().isEmpty() && canvas.texts().isEmpty(),
                  "nothing is drawn without a graph", seen);
        return;
    }
    const FlowGraphModel model = BuildFlowGraphModel(
        in.S, in.R, in.Q, in.flowDivisions, in.pressureDivisions, in.settings, in.separator);
    checkModel(model, in);
    const Plot plot = plotOf(canvas.lines(), in.flowDivisions, seen);
    checkLines(canvas, plot, model, seen);
    checkTexts(canvas, plot, model, seen);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The real canvas measures with the platform's fonts; no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_flowgraph";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const GraphInput in = fuzzInput(data);
    if (in.realFont) {
        FlowGraphPicture picture;
        PictureCanvas real(picture.picture(), FlowGraphPicture::size());
        drawAndCheck(real, in);
    } else {
        SyntheticFontCanvas synthetic(in.metrics);
        drawAndCheck(synthetic, in);
    }
    return 0;
}
