#include "fuzz/recordingcanvas.h"
#include "graph/analysisgraph.h"
#include "graph/labelroom.h"
#include "graph/picturecanvas.h"
#include "hydraulics/flowgraphmodel.h"
#include "settingsof.h"

#include <QDir>
#include <QImage>
#include <QTest>

Q_DECLARE_METATYPE(AnalysisGraphModel)

namespace {

using Lines = QList<RecordingCanvas::Line>;

// The designer's question: S 78, R 61 at Q 2599; 800 gpm at 55 psi needed,
// 250 gpm of hose, 10 psi of margin.
AnalysisGraphModel designersModel(bool showNote = false, double margin = 10) {
    AnalysisGraphModel model;
    model.graph =
        BuildFlowGraphModel(78, 61, 2599, 5, 5, settingsOf(UnitSystem::US, showNote, "20"), '.');
    model.flowAt20psi = static_cast<double>(supplyFlowAt(78, 61, 2599, 20));
    model.safetyMargin = margin;
    model.demands = {{"Sprinklers", 800, 1050, 55}};
    return model;
}

// Every character 10 units wide, every line 16 high, as the report's graph
// tests measure: L = 45, T = 16, W = 600 - 45 - 40 = 515, H = 222.
SyntheticFontCanvas::Metrics evenMetrics() {
    return {10, 10, 10, 10, 10, 16};
}

// The texts drawn over the report's graph: after its axis labels and note.
QList<RecordingCanvas::Text> overlayTexts(const RecordingCanvas& canvas,
                                          const AnalysisGraphModel& model) {
    const qsizetype graphTexts = model.graph.flowLabels.size() + model.graph.pressureLabels.size() +
                                 (model.graph.NoteText.isEmpty() ? 0 : 1);
    return canvas.texts().mid(graphTexts);
}

Lines linesOf(const RecordingCanvas& canvas, const QColor& colour, int width,
              Qt::PenStyle style = Qt::SolidLine) {
    Lines found;
    for (const RecordingCanvas::Line& line : canvas.lines())
        if (line.colour == colour && line.penWidth == width && line.style == style)
            found.append(line);
    return found;
}

bool hasLine(const Lines& lines, QPoint from, QPoint to) {
    return std::any_of(lines.cbegin(), lines.cend(), [&](const RecordingCanvas::Line& line) {
        return line.from == from && line.to == to;
    });
}

QRect boxOf(const RecordingCanvas::Text& text) {
    return QRect(text.at, QSize(text.width, text.height));
}

// Whether a point along the line, taken every unit, lies in the box.
bool crosses(const RecordingCanvas::Line& line, const QRect& box) {
    const QPoint step = line.to - line.from;
    const int count = std::max({std::abs(step.x()), std::abs(step.y()), 1});
    for (int i = 0; i <= count; ++i)
        if (box.contains(line.from + step * i / count))
            return true;
    return false;
}

const QRect picture(0, 0, FlowGraphWidth, FlowGraphHeight);

} // namespace

class AnalysisGraphTest : public QObject {
    Q_OBJECT
private slots:
    void designersCase();
    void legend_data();
    void legend();
    void staysInsideAndApart_data();
    void staysInsideAndApart();
    void elision_data();
    void elision();
    void renderedDashes();
};

void AnalysisGraphTest::designersCase() {
    SyntheticFontCanvas measure(evenMetrics());
    RecordingCanvas canvas(measure);
    DrawAnalysisGraph(canvas, designersModel(), "Flow at 20 psi");
    // Flow axis to 3750, pressure axis to 100: x = 45 + (q / 3750)^1.85 x 515,
    // y = 238 - 2.22 p, both truncated.
    const QColor blue(0, 64, 176);
    const Lines demand = linesOf(canvas, blue, 2);
    QVERIFY(!demand.isEmpty());
    QCOMPARE(demand.first().from, QPoint(74, 116));
    QCOMPARE(demand.first().to, QPoint(93, 116));
    // The supply line from 78 psi to 44.5 psi at the right edge; the safety
    // line 10 psi below it, dashed.
    const Lines supply = linesOf(canvas, Qt::black, 2);
    QCOMPARE(supply.first().from, QPoint(45, 65));
    QCOMPARE(supply.first().to, QPoint(559, 140));
    const Lines safety = linesOf(canvas, QColor(176, 0, 0), 2, Qt::DashLine);
    QVERIFY(!safety.isEmpty());
    QCOMPARE(safety.first().from, QPoint(45, 88));
    QCOMPARE(safety.first().to, QPoint(559, 162));
    // The test point's square around (306, 103): its top and bottom sides.
    QVERIFY(hasLine(supply, {301, 99}, {311, 99}));
    QVERIFY(hasLine(supply, {301, 107}, {311, 107}));
    const QList<RecordingCanvas::Text> texts = overlayTexts(canvas, designersModel());
    QCOMPARE(texts.last().text, QString("Sprinklers"));
    QCOMPARE(texts.last().at, QPoint(70, 124)); // under its marks, from the demand's
}

void AnalysisGraphTest::legend_data() {
    QTest::addColumn<AnalysisGraphModel>("model");
    QTest::addColumn<QStringList>("texts"); // the legend's, then the labels
    QTest::addColumn<int>("dashed");        // the safety line and its sample
    const QStringList withMargin{"Supply line", "Safety line", "Demand, + hose", "Test point"};
    QTest::newRow("margin") << designersModel() << withMargin + QStringList{"Sprinklers"} << 2;
    QTest::newRow("no margin") << designersModel(false, 0)
                               << QStringList{"Supply line", "Demand, + hose", "Test point",
                                              "Sprinklers"}
                               << 0;
    // The note stretches the flow axis to 7500: the flow at 20 psi is on it,
    // and the safety line passes close to the demand, cutting its label.
    QTest::newRow("flow at 20 psi on the axis")
        << designersModel(true) << withMargin + QStringList{"Flow at 20 psi", "Spri…"} << 2;
    AnalysisGraphModel above = designersModel();
    above.demands.first().pressure = 150;
    QTest::newRow("a demand above the pressure axis left out")
        << above << QStringList{"Supply line", "Safety line", "Test point"} << 2;
}

void AnalysisGraphTest::legend() {
    QFETCH(AnalysisGraphModel, model);
    SyntheticFontCanvas measure(evenMetrics());
    RecordingCanvas canvas(measure);
    DrawAnalysisGraph(canvas, model, "Flow at 20 psi");
    QStringList drawn;
    for (const RecordingCanvas::Text& text : overlayTexts(canvas, model))
        drawn.append(text.text);
    QTEST(drawn, "texts");
    QTEST(int(linesOf(canvas, QColor(176, 0, 0), 2, Qt::DashLine).size()), "dashed");
}

void AnalysisGraphTest::staysInsideAndApart_data() {
    QTest::addColumn<AnalysisGraphModel>("model");
    QTest::addColumn<bool>("arial"); // measured by the real font, or by even widths
    AnalysisGraphModel four = designersModel(true);
    four.demands.clear();
    const QList<QPointF> needs{{800, 55}, {1500, 40}, {300, 65}, {2200, 20}};
    for (qsizetype i = 0; i < needs.size(); ++i)
        four.demands.append({QStringLiteral("Demand %1 ").arg(i + 1).leftJustified(80, 'W'),
                             needs[i].x(), needs[i].x() + 250, needs[i].y()});
    QTest::newRow("four long labels, Arial") << four << true;
    QTest::newRow("four long labels, even widths") << four << false;
    AnalysisGraphModel edges = designersModel(false, 100);
    edges.demands = {{"below 0", 500, 700, -5},
                     {"negative flow", -300, 100, 30},
                     {"at the corner", 0, 0, 100},
                     {"stacked", 3000, 3700, 0}};
    QTest::newRow("points at and beyond the axes") << edges << true;
}

void AnalysisGraphTest::staysInsideAndApart() {
    QFETCH(AnalysisGraphModel, model);
    QFETCH(bool, arial);
    FlowGraphPicture target;
    PictureCanvas real(target.picture(), FlowGraphPicture::size());
    SyntheticFontCanvas even(evenMetrics());
    RecordingCanvas canvas(arial ? static_cast<GraphCanvas&>(real) : even);
    DrawAnalysisGraph(canvas, model, "Flow at 20 psi");
    for (const RecordingCanvas::Line& line : canvas.lines())
        QVERIFY(picture.contains(line.from) && picture.contains(line.to));
    for (const QRect& box : canvas.clearedBoxes())
        QVERIFY(picture.contains(box));
    const QList<RecordingCanvas::Text> overlay = overlayTexts(canvas, model);
    for (const RecordingCanvas::Text& text : canvas.texts())
        QVERIFY2(picture.contains(boxOf(text)), qPrintable(text.text));
    for (qsizetype i = 0; i < overlay.size(); ++i) {
        const RecordingCanvas::Text& text = overlay[i];
        for (qsizetype j = i + 1; j < overlay.size(); ++j)
            QVERIFY2(!boxOf(text).intersects(boxOf(overlay[j])), qPrintable(text.text));
        for (const RecordingCanvas::Line& line : canvas.lines())
            if (line.penWidth == 2)
                QVERIFY2(!crosses(line, boxOf(text)), qPrintable(text.text));
    }
}

void AnalysisGraphTest::elision_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown");
    QTest::newRow("fits") << "Sprinklers" << 100 << "Sprinklers";
    QTest::newRow("cut") << "Sprinklers" << 50 << "Spri…";
    QTest::newRow("no space before the ellipsis") << "Ab cd" << 40 << "Ab…";
    QTest::newRow("not even the ellipsis") << "Sprinklers" << 9 << "";
}

void AnalysisGraphTest::elision() {
    QFETCH(QString, text);
    QFETCH(int, width);
    const SyntheticFontCanvas canvas(evenMetrics());
    QTEST(elidedToWidth(canvas, text, width), "shown");
}

void AnalysisGraphTest::renderedDashes() {
    FlowGraphPicture graph;
    Lines safety;
    {
        PictureCanvas real(graph.picture(), FlowGraphPicture::size());
        RecordingCanvas canvas(real);
        DrawAnalysisGraph(canvas, designersModel(), "Flow at 20 psi");
        safety = linesOf(canvas, QColor(176, 0, 0), 2, Qt::DashLine);
    }
    // Along the safety line red dashes and the white between them alternate.
    const QImage image = graph.render(QSize(FlowGraphWidth, FlowGraphHeight));
    int red = 0;
    int white = 0;
    const RecordingCanvas::Line& line = safety.first();
    for (int i = 0; i <= 200; ++i) {
        const QPoint at = line.from + (line.to - line.from) * (100 + i) / 400;
        const QColor pixel = image.pixelColor(at);
        red += pixel.red() > 120 && pixel.green() < 90 ? 1 : 0;
        white += pixel.lightness() > 200 ? 1 : 0;
    }
    QVERIFY2(red > 40 && white > 40, qPrintable(QString("%1 %2").arg(red).arg(white)));

    const QString lookDir = qEnvironmentVariable("FLOWTEST_GRAPH_LOOK_DIR");
    if (lookDir.isEmpty())
        return;
    QDir().mkpath(lookDir);
    QVERIFY(graph.render(QSize(1830, 823)).save(lookDir + "/analysis-designer.png"));
}

QTEST_MAIN(AnalysisGraphTest)
#include "test_analysisgraph.moc"
