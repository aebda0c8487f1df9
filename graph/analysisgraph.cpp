#include "graph/analysisgraph.h"

#include "graph/flowgraph.h"
#include "graph/flowgraphplot.h"
#include "graph/graphcanvas.h"
#include "graph/labelroom.h"
#include "graph/picturecanvas.h"
#include "hydraulics/flowgraphmodel.h"

#include <QColor>
#include <QList>

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace {

// Dark enough to print as a dark grey; the dashes and the marks tell them
// apart from the black supply line in black and white.
const QColor safetyColour(176, 0, 0);
const QColor demandColour(0, 64, 176);
constexpr int lineWidth = 2;
constexpr int markRadius = 4;
constexpr int legendFontSize = 10; // labels and legend, smaller than the axes
constexpr int legendPadding = 4;
constexpr int sampleWidth = 28;
constexpr int sampleGap = 5;

enum class Mark { Square, Diamond, Cross, Triangle };

void drawPath(GraphCanvas& canvas, std::initializer_list<QPoint> points) {
    const QPoint* previous = nullptr;
    for (const QPoint& p : points) {
        if (previous)
            drawLine(canvas, *previous, p);
        previous = &p;
    }
}

// In the current pen, centred on `at`.
void drawMark(GraphCanvas& canvas, QPoint at, Mark mark) {
    const int r = markRadius;
    const int x = at.x();
    const int y = at.y();
    switch (mark) {
    case Mark::Square:
        // The level sides run past the corners by half the pen, so that
        // flat ends leave no notch there.
        drawLine(canvas, {x - r - 1, y - r}, {x + r + 1, y - r});
        drawLine(canvas, {x - r - 1, y + r}, {x + r + 1, y + r});
        drawLine(canvas, {x - r, y - r}, {x - r, y + r});
        drawLine(canvas, {x + r, y - r}, {x + r, y + r});
        break;
    case Mark::Diamond:
        drawPath(canvas,
                 {{x, y - r - 1}, {x + r + 1, y}, {x, y + r + 1}, {x - r - 1, y}, {x, y - r - 1}});
        break;
    case Mark::Cross:
        drawLine(canvas, {x - r, y - r}, {x + r, y + r});
        drawLine(canvas, {x - r, y + r}, {x + r, y - r});
        break;
    case Mark::Triangle:
        drawPath(canvas, {{x, y - r - 1}, {x + r + 1, y + r}, {x - r - 1, y + r}, {x, y - r - 1}});
        break;
    }
}

// What a mark covers, its pen included.
QRect markBox(QPoint at) {
    const int reach = markRadius + 2;
    return QRect(at - QPoint(reach, reach), QSize(2 * reach + 1, 2 * reach + 1));
}

bool inside(const PlotArea& plot, QPoint p) {
    return p.x() >= plot.left && p.x() <= plot.right() && p.y() >= plot.top &&
           p.y() <= plot.bottom();
}

// A demand point and its demand-plus-hose point, where they lie.
struct DemandLine {
    QString label;
    QPoint demand;
    QPoint total;
    bool demandShown = false; // not moved onto the plot's edge
    bool totalShown = false;
    QRect box() const { return markBox(demand).united(markBox(total)); }
};

enum class Sample { Supply, Safety, Demand, TestPoint, FlowAt20 };

struct LegendEntry {
    Sample sample;
    QString text;
};

class AnalysisGraph {
public:
    // On the report's graph of the model, already drawn: its plot is
    // measured in the font of its axes.
    AnalysisGraph(GraphCanvas& canvas, const AnalysisGraphModel& model)
        : canvas_(canvas), model_(model), plot_(plotArea(canvas, model.graph)),
          bounds_(plot_.left + tickLength + 1, plot_.top + 1, plot_.width - tickLength - 2,
                  plot_.height - 1),
          noteBox_(noteBox(canvas, plot_, model.graph.NoteText)), room_(bounds_) {}

    void draw(const QString& flowAt20psiLabel) {
        takeSupply();
        drawSafetyLine();
        for (qsizetype i = 0; i < model_.demands.size() && i < AnalysisGraphDemands; ++i)
            drawDemand(model_.demands[i]);
        drawSupplyMark(model_.graph.TestFlow, model_.graph.ResidualPressure, Mark::Square,
                       &testShown_);
        if (model_.flowAt20psi)
            drawSupplyMark(*model_.flowAt20psi, model_.twentyPsi, Mark::Diamond, &twentyShown_);
        canvas_.setFont(QStringLiteral("Arial"), legendFontSize);
        drawLegend(flowAt20psiLabel);
        for (const DemandLine& demand : std::as_const(demands_))
            drawLabel(demand);
    }

private:
    std::optional<int> x(double flow) const { return flowX(plot_, flow, model_.graph.FlowAxisMax); }
    // None above the top or below 0.
    std::optional<int> y(double pressure) const {
        if (!(pressure >= 0 && pressure <= model_.graph.PressureAxisMax))
            return std::nullopt;
        return pressureY(plot_, pressure, model_.graph.PressureAxisMax);
    }

    static QRect noteBox(const GraphCanvas& canvas, const PlotArea& plot, const QString& note) {
        if (note.isEmpty())
            return {};
        return QRect(notePosition(canvas, plot, note),
                     QSize(canvas.textWidth(note), canvas.textHeight(note)));
    }

    void takeSupply() {
        if (noteBox_.isValid())
            room_.takeBox(noteBox_);
        const auto start = supplyLineStart(plot_, model_.graph);
        const auto end = supplyLineEnd(plot_, model_.graph);
        if (start && end)
            room_.takeLine(*start, *end, lineWidth);
    }

    void drawSafetyLine() {
        if (!(model_.safetyMargin > 0))
            return;
        const FlowGraphModel lowered = withSupplyLowered(model_.graph, model_.safetyMargin);
        const auto start = supplyLineStart(plot_, lowered);
        const auto end = supplyLineEnd(plot_, lowered);
        if (!start || !end || !inside(plot_, *start))
            return;
        canvas_.setStyledPen(safetyColour, lineWidth, Qt::DashLine);
        drawLine(canvas_, *start, *end);
        room_.takeLine(*start, *end, lineWidth);
        safetyShown_ = true;
    }

    // A flow beyond either end of the axis is moved onto the plot's edge.
    std::optional<int> clampedX(double flow, bool* shown) const {
        const double axisMax = model_.graph.FlowAxisMax;
        const double onAxis = std::clamp(flow, 0.0, axisMax);
        *shown = onAxis == flow;
        return x(onAxis);
    }

    void drawDemand(const AnalysisGraphModel::Demand& demand) {
        DemandLine line{demand.label, {}, {}};
        const auto level = y(demand.pressure);
        const auto from = clampedX(demand.flow, &line.demandShown);
        const auto to = clampedX(demand.totalFlow, &line.totalShown);
        if (!level || !from || !to)
            return;
        line.demand = {*from, *level};
        line.total = {*to, *level};
        canvas_.setPen(demandColour, lineWidth);
        drawLine(canvas_, line.demand, line.total);
        if (line.demandShown)
            drawMark(canvas_, line.demand, Mark::Cross);
        if (line.totalShown)
            drawMark(canvas_, line.total, Mark::Triangle);
        room_.takeBox(line.box());
        demands_.append(line);
    }

    void drawSupplyMark(double flow, double pressure, Mark mark, bool* shown) {
        const auto at = point(x(flow), y(pressure));
        *shown = at && inside(plot_, *at);
        if (!*shown)
            return;
        canvas_.setPen(Qt::black, lineWidth);
        drawMark(canvas_, *at, mark);
        room_.takeBox(markBox(*at));
    }

    QList<LegendEntry> legendEntries(const QString& flowAt20psiLabel) const {
        QList<LegendEntry> entries{{Sample::Supply, QStringLiteral("Supply line")}};
        if (safetyShown_)
            entries.append({Sample::Safety, QStringLiteral("Safety line")});
        if (!demands_.isEmpty())
            entries.append({Sample::Demand, QStringLiteral("Demand, + hose")});
        if (testShown_)
            entries.append({Sample::TestPoint, QStringLiteral("Test point")});
        if (twentyShown_)
            entries.append({Sample::FlowAt20, flowAt20psiLabel});
        return entries;
    }

    QSize legendSize(const QList<LegendEntry>& entries) const {
        int widest = 0;
        for (const LegendEntry& entry : entries)
            widest = std::max(widest, canvas_.textWidth(entry.text));
        const int rows = static_cast<int>(entries.size());
        return {2 * legendPadding + sampleWidth + sampleGap + widest,
                2 * legendPadding + rows * canvas_.textHeight({})};
    }

    // In a corner of the plot clear of the lines and marks: top right
    // under the note first, where a falling supply line leaves most room;
    // there regardless when no corner is clear.
    QRect legendBox(QSize size) const {
        const int gap = legendPadding + tickLength;
        const int top =
            noteBox_.isValid() ? noteBox_.bottom() + 1 + legendPadding : plot_.top + gap;
        const int right = plot_.right() - gap - size.width() + 1;
        const int bottom = plot_.bottom() - gap - size.height() + 1;
        const int left = plot_.left + gap + tickLength;
        const QRect corners[] = {QRect({right, top}, size), QRect({right, bottom}, size),
                                 QRect({left, top}, size), QRect({left, bottom}, size)};
        for (const QRect& corner : corners)
            if (room_.isFree(corner))
                return corner;
        return corners[0];
    }

    void drawSample(Sample sample, const QRect& box) {
        const QPoint left(box.left(), box.center().y());
        const QPoint right(box.right(), box.center().y());
        const QPoint middle = box.center();
        switch (sample) {
        case Sample::Supply:
            canvas_.setPen(Qt::black, lineWidth);
            drawLine(canvas_, left, right);
            break;
        case Sample::Safety:
            canvas_.setStyledPen(safetyColour, lineWidth, Qt::DashLine);
            drawLine(canvas_, left, right);
            break;
        case Sample::Demand: {
            const QPoint inset(markRadius + 1, 0);
            canvas_.setPen(demandColour, lineWidth);
            drawLine(canvas_, left + inset, right - inset);
            drawMark(canvas_, left + inset, Mark::Cross);
            drawMark(canvas_, right - inset, Mark::Triangle);
            break;
        }
        case Sample::TestPoint:
        case Sample::FlowAt20:
            canvas_.setPen(Qt::black, lineWidth);
            drawMark(canvas_, middle, sample == Sample::TestPoint ? Mark::Square : Mark::Diamond);
            break;
        }
    }

    void drawLegend(const QString& flowAt20psiLabel) {
        const QList<LegendEntry> entries = legendEntries(flowAt20psiLabel);
        const QRect box = legendBox(legendSize(entries));
        canvas_.clearBox(box.x(), box.y(), box.width(), box.height());
        canvas_.setPen(Qt::black, 1);
        drawPath(canvas_, {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft(),
                           box.topLeft()});
        const int rowHeight = canvas_.textHeight({});
        int top = box.top() + legendPadding;
        for (const LegendEntry& entry : entries) {
            const int left = box.left() + legendPadding;
            drawSample(entry.sample, QRect(left, top, sampleWidth, rowHeight));
            canvas_.textOut(left + sampleWidth + sampleGap, top, entry.text);
            top += rowHeight;
        }
        room_.takeBox(box);
    }

    // Under its line, or over it when there is more room there, starting
    // at the demand's mark; cut where it would cover anything.
    void drawLabel(const DemandLine& demand) {
        const int height = canvas_.textHeight(demand.label);
        const int left =
            std::max(bounds_.left(), std::min(demand.demand.x(), demand.total.x()) - markRadius);
        const QRect marks = demand.box();
        const QPoint below(left, marks.bottom() + 2);
        const QPoint above(left, marks.top() - 1 - height);
        const int belowWidth = room_.widthFrom(below, height);
        const int aboveWidth = room_.widthFrom(above, height);
        const QPoint at = aboveWidth > belowWidth ? above : below;
        const QString text = elidedToWidth(canvas_, demand.label, std::max(belowWidth, aboveWidth));
        if (text.isEmpty())
            return;
        canvas_.textOut(at.x(), at.y(), text);
        room_.takeBox(QRect(at, QSize(canvas_.textWidth(text), height)));
    }

    GraphCanvas& canvas_;
    const AnalysisGraphModel& model_;
    const PlotArea plot_;
    const QRect bounds_; // where labels and the legend may go
    const QRect noteBox_;
    LabelRoom room_;
    QList<DemandLine> demands_;
    bool safetyShown_ = false;
    bool testShown_ = false;
    bool twentyShown_ = false;
};

} // namespace

void DrawAnalysisGraph(GraphCanvas& canvas, const AnalysisGraphModel& model,
                       const QString& flowAt20psiLabel) {
    DrawFlowGraph(canvas, model.graph);
    AnalysisGraph(canvas, model).draw(flowAt20psiLabel);
}

FlowGraphPicture DrawAnalysisGraph(const AnalysisGraphModel& model,
                                   const QString& flowAt20psiLabel) {
    FlowGraphPicture result;
    {
        PictureCanvas canvas(result.picture(), FlowGraphPicture::size());
        DrawAnalysisGraph(canvas, model, flowAt20psiLabel);
    }
    return result;
}
