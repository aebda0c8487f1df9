#include "graph/flowgraph.h"
#include "graph/fontmeasure.h"
#include "graph/graphcanvas.h"
#include "graph/picturecanvas.h"
#include "settingsof.h"

#include <QDir>
#include <QImage>
#include <QPicture>
#include <QTest>

#include <algorithm>
#include <limits>

namespace {

struct DrawnLine {
    QPoint from;
    QPoint to;
    int penWidth = 0;
};

struct DrawnText {
    QPoint at;
    QString text;
};

// Records what is drawn; every character is 10 units wide (or as told) and
// every text 16 high, so positions can be worked out by hand.
class FakeCanvas : public GraphCanvas {
public:
    explicit FakeCanvas(int charWidth = 10, int lineHeight = 16)
        : charWidth_(charWidth), lineHeight_(lineHeight) {}

    void setPen(const QColor& colour, int width) override {
        penColour = colour;
        penWidth_ = width;
    }
    void setFont(const QString& family, int pointSize) override {
        fontFamily = family;
        fontSize = pointSize;
    }
    void moveTo(int x, int y) override { current_ = QPoint(x, y); }
    void lineTo(int x, int y) override {
        lines.push_back({current_, QPoint(x, y), penWidth_});
        order += 'L';
        current_ = QPoint(x, y);
    }
    void textOut(int x, int y, const QString& text) override {
        texts.push_back({QPoint(x, y), text});
        order += 'T';
    }
    int textWidth(const QString& text) const override {
        return static_cast<int>(text.size()) * charWidth_;
    }
    int textHeight(const QString&) const override { return lineHeight_; }

    QList<DrawnLine> linesOfWidth(int width) const {
        QList<DrawnLine> result;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(result),
                     [width](const DrawnLine& l) { return l.penWidth == width; });
        return result;
    }
    QList<DrawnLine> verticals() const {
        QList<DrawnLine> result;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(result),
                     [](const DrawnLine& l) { return l.from.x() == l.to.x() && l.penWidth == 1; });
        return result;
    }
    QList<DrawnLine> horizontals() const {
        QList<DrawnLine> result;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(result),
                     [](const DrawnLine& l) { return l.from.y() == l.to.y() && l.penWidth == 1; });
        return result;
    }
    const DrawnText* findText(const QString& text) const {
        const auto it = std::find_if(texts.begin(), texts.end(),
                                     [&](const DrawnText& t) { return t.text == text; });
        return it == texts.end() ? nullptr : &*it;
    }

    QList<DrawnLine> lines;
    QList<DrawnText> texts;
    QString order; // 'L' per line, 'T' per text, in drawing order
    QColor penColour;
    QString fontFamily;
    int fontSize = 0;

private:
    int charWidth_;
    int lineHeight_;
    int penWidth_ = 0;
    QPoint current_;
};

void drawUsExample(FakeCanvas& canvas, bool show = true) {
    DrawFlowGraph(canvas, 5, 5, 60, 40, 1000, settingsOf(UnitSystem::US, show, "20"), '.');
}

// With 10-unit characters and 16-unit lines the U.S. example lays out as
// L = 1.5 x 30 = 45, T = 16, W = 600 - 45 - 40 = 515, H = 270 - 16 - 32 = 222.
constexpr int L = 45;
constexpr int T = 16;
constexpr int W = 515;
constexpr int H = 222;

QPoint darkestNear(const QImage& image, QPoint centre, int radius, int* darkness) {
    int best = 256;
    QPoint where;
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y)
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (grey < best) {
                best = grey;
                where = QPoint(x, y);
            }
        }
    *darkness = best;
    return where;
}

bool allWhite(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

} // namespace

class FlowGraphDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void drawingState();
    void usFlowGrid();
    void usPressureGrid();
    void usNoteAndSupplyLine();
    void drawingOrder();
    void pressureLinesMeetPlotEdges_data();
    void pressureLinesMeetPlotEdges();
    void supplyLine_data();
    void supplyLine();
    void leftMargin_data();
    void leftMargin();
    void omittedSupplyLine_data();
    void omittedSupplyLine();
    void coordinatesStayInPicture_data();
    void coordinatesStayInPicture();
    void nothingDrawnWithoutGraph_data();
    void nothingDrawnWithoutGraph();
    void noteUsesSeparator();

    void arialMeasurements();
    void opaqueTextHidesLines();
    void blankPicture();
    void renderedGraph();
};

void FlowGraphDrawingTest::drawingState() {
    FakeCanvas canvas;
    drawUsExample(canvas);
    QCOMPARE(canvas.fontFamily, QString("Arial"));
    QCOMPARE(canvas.fontSize, 12);
    QCOMPARE(canvas.penColour, QColor(Qt::black));
    // Width 2 for the supply line only, which comes last.
    QCOMPARE(canvas.linesOfWidth(2).size(), 1);
    QCOMPARE(canvas.lines.last().penWidth, 2);
    QCOMPARE(canvas.linesOfWidth(1).size(), canvas.lines.size() - 1);
}

void FlowGraphDrawingTest::usFlowGrid() {
    FakeCanvas canvas;
    drawUsExample(canvas);
    const QList<int> majorX = {45, 71, 139, 245, 385, 560};
    const QStringList labels = {"0", "500", "1000", "1500", "2000", "2500"};
    const QList<int> tickX = {46,  49,  55,  62,  81,  93,  107, 122, 148, 157, 167, 177,
                              187, 198, 209, 221, 232, 257, 270, 283, 297, 311, 325, 340,
                              354, 370, 401, 418, 434, 451, 468, 486, 504, 522, 541};
    QList<int> drawnMajor;
    QList<int> drawnTicks;
    for (const DrawnLine& line : canvas.verticals()) {
        QCOMPARE(line.to.y(), T + H);
        if (line.from.y() == T)
            drawnMajor << line.from.x();
        else if (line.from.y() == T + H - 5)
            drawnTicks << line.from.x();
        else
            QFAIL("vertical line that is neither a grid line nor a tick");
    }
    QCOMPARE(drawnMajor, majorX);
    QCOMPARE(drawnTicks, tickX);
    QCOMPARE(drawnMajor.last(), L + W);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const DrawnText* label = canvas.findText(labels[i]);
        QVERIFY2(label, qPrintable(labels[i]));
        const int halfWidth = static_cast<int>(labels[i].size()) * 10 / 2;
        QCOMPARE(label->at, QPoint(majorX[i] - halfWidth, T + H + 8));
    }
}

void FlowGraphDrawingTest::usPressureGrid() {
    FakeCanvas canvas;
    drawUsExample(canvas);
    const QList<int> stepY = {16,  24,  33,  42,  51,  60,  69,  78,  87,  95,  104, 113, 122,
                              131, 140, 149, 158, 166, 175, 184, 193, 202, 211, 220, 229, 238};
    QList<DrawnLine> horizontals = canvas.horizontals();
    QCOMPARE(horizontals.size(), 26);
    int ticks = 0;
    for (qsizetype step = 0; step < horizontals.size(); ++step) {
        const DrawnLine& line = horizontals[step];
        QCOMPARE(line.from, QPoint(L, stepY[step]));
        const bool major = step % 5 == 0;
        QCOMPARE(line.to, QPoint(major ? L + W - 1 : L + 5, stepY[step]));
        ticks += major ? 0 : 1;
    }
    QCOMPARE(ticks, 20);
    // Labels read upwards, right-aligned 5 units left of the plot, centred
    // on their lines.
    const QStringList labels = {"0", "15", "30", "45", "60", "75"};
    const QList<int> labelY = {229, 185, 141, 96, 52, 7};
    const QList<DrawnText> drawn = canvas.texts.mid(6, 6); // after the six flow labels
    QCOMPARE(drawn.size(), labels.size());
    for (qsizetype m = 0; m < labels.size(); ++m) {
        QCOMPARE(drawn[m].text, labels[m]);
        QCOMPARE(drawn[m].at, QPoint(L - 5 - static_cast<int>(labels[m].size()) * 10, labelY[m]));
    }
}

void FlowGraphDrawingTest::usNoteAndSupplyLine() {
    FakeCanvas canvas;
    drawUsExample(canvas);
    const DrawnText* note = canvas.findText("1454.5 gpm at 20 psi");
    QVERIFY(note);
    QCOMPARE(note->at, QPoint(L + W - 200 - 10, T + 8));
    const DrawnLine supply = canvas.lines.last();
    QCOMPARE(supply.from, QPoint(L, T + H - 177)); // 0.8 x 222 = 177.6
    QCOMPARE(supply.to, QPoint(328, T + H));       // 0.5507 x 515 = 283.6

    FakeCanvas withoutNote;
    drawUsExample(withoutNote, false);
    QCOMPARE(withoutNote.texts.size(), canvas.texts.size() - 1);
    QVERIFY(!withoutNote.findText("1454.5 gpm at 20 psi"));
    QCOMPARE(withoutNote.lines.last().from, supply.from);
    QCOMPARE(withoutNote.lines.last().to, supply.to);
}

void FlowGraphDrawingTest::drawingOrder() {
    FakeCanvas canvas;
    drawUsExample(canvas);
    // Each flow line: line, label, its ticks (4, 4, 9, 9, 9, none); then the
    // pressure grid (a label after each major line); the note; the supply line.
    QString expected;
    for (const int ticks : {4, 4, 9, 9, 9, 0})
        expected += "LT" + QString(ticks, 'L');
    for (int step = 0; step <= 25; ++step)
        expected += step % 5 == 0 ? "LT" : "L";
    expected += "TL";
    QCOMPARE(canvas.order, expected);
}

void FlowGraphDrawingTest::pressureLinesMeetPlotEdges_data() {
    QTest::addColumn<int>("lineHeight");
    // Plot heights 222, 216, 210 and 204: for 210 a product of rounded
    // factors would put the bottom line at 209.
    for (const int height : {16, 18, 20, 22})
        QTest::addRow("text height %d", height) << height;
}

void FlowGraphDrawingTest::pressureLinesMeetPlotEdges() {
    QFETCH(int, lineHeight);
    FakeCanvas canvas(10, lineHeight);
    drawUsExample(canvas);
    const DrawnLine edge = canvas.verticals().first();
    const QList<DrawnLine> horizontals = canvas.horizontals();
    QCOMPARE(horizontals.first().from.y(), edge.from.y());
    QCOMPARE(horizontals.last().from.y(), edge.to.y());
    QCOMPARE(edge.from.y(), lineHeight);
    QCOMPARE(edge.to.y(), 270 - 2 * lineHeight);
    // Every major line lies at its exact fifth of the height, truncated.
    const int height = 270 - 3 * lineHeight;
    for (int m = 0; m <= 5; ++m)
        QCOMPARE(horizontals[5 * m].from.y(), lineHeight + m * height / 5);
}

void FlowGraphDrawingTest::supplyLine_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<QString>("pressure");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("note");
    const auto us = UnitSystem::US;
    const int bottom = T + H;
    QTest::newRow("U.S. example ends at zero pressure")
        << 60.0 << 40.0 << 1000.0 << us << "20" << QPoint(L, 61) << QPoint(328, bottom)
        << "1454.5 gpm at 20 psi";
    QTest::newRow("S = R is level to the right edge")
        << 50.0 << 50.0 << 1000.0 << us << "20" << QPoint(L, 90) << QPoint(L + W - 1, 90) << "";
    QTest::newRow("S = R at 63 is level")
        << 63.0 << 63.0 << 1000.0 << us << "20" << QPoint(L, 238 - 186)
        << QPoint(L + W - 1, 238 - 186) << "";
    QTest::newRow("S = R at 7.3 is level")
        << 7.3 << 7.3 << 1000.0 << us << "20" << QPoint(L, 238 - 162)
        << QPoint(L + W - 1, 238 - 162) << "";
    QTest::newRow("metric bar example")
        << 5.5 << 4.0 << 3000.0 << UnitSystem::MetricBar << "1.4" << QPoint(L, 116)
        << QPoint(L + 346, bottom) << "5166.2 Lpm at 1.4 bar";
    QTest::newRow("kPa ends on the right edge")
        << 400.0 << 300.0 << 2000.0 << UnitSystem::MetricKPa << "140" << QPoint(L, 30)
        << QPoint(L + W - 1, 197) << "3352.3 Lpm at 140 kPa";
    QTest::newRow("residual empty reaches zero at the test flow")
        << 60.0 << 0.0 << 1000.0 << us << "20" << QPoint(L, 61)
        << QPoint(L + static_cast<int>(0.66181 * W), bottom) << "803.2 gpm at 20 psi";
}

void FlowGraphDrawingTest::supplyLine() {
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    QFETCH(UnitSystem, units);
    QFETCH(QString, pressure);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, note);
    FakeCanvas canvas;
    DrawFlowGraph(canvas, 5, 5, S, R, Q, settingsOf(units, true, pressure), '.');
    const QList<DrawnLine> supply = canvas.linesOfWidth(2);
    QCOMPARE(supply.size(), 1);
    QCOMPARE(supply.first().from, from);
    QCOMPARE(supply.first().to, to);
    // Apart from the labels, the only text is the note, if any.
    const qsizetype labels = 12;
    QCOMPARE(canvas.texts.size(), labels + (note.isEmpty() ? 0 : 1));
    if (!note.isEmpty())
        QVERIFY2(canvas.findText(note), qPrintable(canvas.texts.last().text));
}

void FlowGraphDrawingTest::leftMargin_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("widestLabel");
    QTest::newRow("three digits, usual margin") << 60.0 << 45 << "75";
    QTest::newRow("four digits fit exactly") << 1000.0 << 45 << "1050";
    QTest::newRow("five digits widen the margin") << 9600.0 << 55 << "10100";
}

void FlowGraphDrawingTest::leftMargin() {
    QFETCH(double, S);
    QFETCH(int, left);
    QFETCH(QString, widestLabel);
    FakeCanvas canvas;
    DrawFlowGraph(canvas, 5, 5, S, S * 0.9, 1000, settingsOf(UnitSystem::MetricKPa, false, ""),
                  '.');
    const DrawnLine firstFlowLine = canvas.verticals().first();
    QCOMPARE(firstFlowLine.from.x(), left);
    // The plot narrows by what the margin grew; the flow maximum keeps its room.
    const DrawnLine lastFlowLine = canvas.verticals().last();
    QCOMPARE(lastFlowLine.from.x(), 600 - 40); // "2500"
    for (const DrawnLine& line : canvas.horizontals())
        QCOMPARE(line.from.x(), left);
    const DrawnText* widest = canvas.findText(widestLabel);
    QVERIFY(widest);
    QCOMPARE(widest->at.x(), left - 5 - static_cast<int>(widestLabel.size()) * 10);
    for (const DrawnText& text : canvas.texts)
        QVERIFY2(text.at.x() >= 0, qPrintable(text.text));
}

void FlowGraphDrawingTest::omittedSupplyLine_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::newRow("both pressures empty") << 0.0 << 0.0;
    QTest::newRow("negative static above residual") << -10.0 << -20.0;
    QTest::newRow("negative static equal to residual") << -5.0 << -5.0;
    QTest::newRow("zero static, negative residual") << 0.0 << -5.0;
}

void FlowGraphDrawingTest::omittedSupplyLine() {
    QFETCH(double, S);
    QFETCH(double, R);
    FakeCanvas canvas;
    DrawFlowGraph(canvas, 5, 5, S, R, 1000, settingsOf(UnitSystem::US, true, "-20"), '.');
    QVERIFY(canvas.linesOfWidth(2).isEmpty());
    QCOMPARE(canvas.verticals().size(), 6 + 35);
    QCOMPARE(canvas.horizontals().size(), 26);
    QVERIFY(canvas.findText("2500")); // the flow axis reaches 1.25 Q
    QVERIFY(canvas.findText("5"));    // the smallest pressure axis
}

void FlowGraphDrawingTest::coordinatesStayInPicture_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    const double max = std::numeric_limits<double>::max();
    QTest::newRow("U.S. example") << 60.0 << 40.0 << 1000.0;
    QTest::newRow("tiny flow") << 60.0 << 40.0 << 1e-300;
    QTest::newRow("huge flow") << 60.0 << 40.0 << 1e300;
    QTest::newRow("largest flow") << 60.0 << 40.0 << max;
    QTest::newRow("largest flow, flat") << 60.0 << 60.0 << max;
    QTest::newRow("huge pressures") << 1e300 << 1e299 << 1000.0;
    QTest::newRow("largest static") << max << 0.0 << 1000.0;
    QTest::newRow("largest drop") << max << -max << 1.0;
    QTest::newRow("tiny drop") << 1e300 << 1e300 * (1 - 1e-15) << 1e300;
}

void FlowGraphDrawingTest::coordinatesStayInPicture() {
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    FakeCanvas canvas;
    DrawFlowGraph(canvas, 5, 5, S, R, Q, settingsOf(UnitSystem::US, true, "20"), '.');
    QVERIFY(!canvas.lines.isEmpty());
    const QRect picture(0, 0, 601, 271);
    for (const DrawnLine& line : canvas.lines) {
        QVERIFY2(picture.contains(line.from),
                 qPrintable(QString("%1,%2").arg(line.from.x()).arg(line.from.y())));
        QVERIFY2(picture.contains(line.to),
                 qPrintable(QString("%1,%2").arg(line.to.x()).arg(line.to.y())));
    }
    for (const DrawnText& text : canvas.texts)
        QVERIFY2(text.at.y() >= 0 && text.at.y() < 270, qPrintable(text.text));
}

void FlowGraphDrawingTest::nothingDrawnWithoutGraph_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    QTest::addColumn<int>("divisions");
    QTest::newRow("no flow") << 60.0 << 40.0 << 0.0 << 5;
    QTest::newRow("negative flow") << 60.0 << 40.0 << -100.0 << 5;
    QTest::newRow("static left empty") << 0.0 << 40.0 << 1000.0 << 5;
    QTest::newRow("residual above static") << 40.0 << 40.5 << 1000.0 << 5;
    QTest::newRow("flow overflowed")
        << 60.0 << 40.0 << std::numeric_limits<double>::infinity() << 5;
    QTest::newRow("no divisions") << 60.0 << 40.0 << 1000.0 << 0;
}

void FlowGraphDrawingTest::nothingDrawnWithoutGraph() {
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    QFETCH(int, divisions);
    FakeCanvas canvas;
    DrawFlowGraph(canvas, divisions, divisions, S, R, Q, Settings{}, '.');
    QVERIFY(canvas.lines.isEmpty());
    QVERIFY(canvas.texts.isEmpty());
}

void FlowGraphDrawingTest::noteUsesSeparator() {
    FakeCanvas canvas;
    DrawFlowGraph(canvas, 5, 5, 60, 40, 1000, settingsOf(UnitSystem::US, true, "20"), ',');
    QVERIFY(canvas.findText("1454,5 gpm at 20 psi"));
}

void FlowGraphDrawingTest::arialMeasurements() {
    // Liberation Sans stands in for Arial: "000" advances 26.67 units at an
    // em of 16, a line is 17.9 units high.
    const FontMeasure arial("Arial", 12);
    QCOMPARE(arial.font().pixelSize(), 16);
    QCOMPARE(arial.width("000"), 27);
    QCOMPARE(arial.width(""), 0);
    QCOMPARE(arial.height(), 18);
    QVERIFY(arial.width("1454.5 gpm at 20 psi") > arial.width("1454.5 gpm"));
}

void FlowGraphDrawingTest::opaqueTextHidesLines() {
    QPicture picture;
    {
        PictureCanvas canvas(picture, QSize(100, 40));
        canvas.setFont("Arial", 12);
        canvas.moveTo(0, 10);
        canvas.lineTo(99, 10);
        canvas.textOut(30, 0, "    "); // a box of blanks: white, no ink
    }
    QCOMPARE(picture.boundingRect(), QRect(0, 0, 100, 40));
    QImage image(100, 40, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    picture.play(&painter);
    painter.end();
    QCOMPARE(image.pixel(10, 10), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(40, 10), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(90, 10), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(10, 30), qRgb(255, 0, 0)); // nothing painted behind the drawing
}

void FlowGraphDrawingTest::blankPicture() {
    const FlowGraphPicture blank = DrawFlowGraph(5, 5, 40, 60, 1000, Settings{}, '.');
    QCOMPARE(blank.picture().boundingRect(), QRect(0, 0, 600, 270));
    const QImage image = blank.render(QSize(600, 270));
    QCOMPARE(image.size(), QSize(600, 270));
    QVERIFY(allWhite(image, image.rect()));
}

void FlowGraphDrawingTest::renderedGraph() {
    const Settings us = settingsOf(UnitSystem::US, true, "20");
    const FlowGraphPicture graph = DrawFlowGraph(5, 5, 60, 40, 1000, us, '.');
    QCOMPARE(graph.picture().boundingRect(), QRect(0, 0, 600, 270));
    // Real Arial: L = 1.5 x 27 = 40, T = 18, H = 270 - 54 = 216; the supply
    // line starts at y = 234 - 172 = 62 on the left edge.
    const QImage image = graph.render(QSize(1200, 540));
    QVERIFY(allWhite(image, QRect(0, 0, 60, 20)));    // top left corner, left of the "75"
    QVERIFY(allWhite(image, QRect(1180, 0, 20, 20))); // top right corner
    int darkness = 0;
    darkestNear(image, QPoint(2 * 40 + 1, 2 * 150), 2, &darkness); // the left edge
    QVERIFY2(darkness < 100, qPrintable(QString::number(darkness)));
    // The supply line runs from (40, 62) to (328, 234); at x = 100 it is at y = 98.
    darkestNear(image, QPoint(2 * 100 + 1, 2 * 98 + 1), 3, &darkness);
    QVERIFY2(darkness < 100, qPrintable(QString::number(darkness)));

    const QString lookDir = qEnvironmentVariable("FLOWTEST_GRAPH_LOOK_DIR");
    if (lookDir.isEmpty())
        return;
    QDir().mkpath(lookDir);
    const QSize printSize(1830, 823); // the report's 300 ppi picture
    QVERIFY(graph.render(printSize).save(lookDir + "/us-60-40-1000.png"));
    QVERIFY(graph.render(QSize(600, 270)).save(lookDir + "/us-60-40-1000-small.png"));
    const FlowGraphPicture bar =
        DrawFlowGraph(5, 5, 5.5, 4.0, 3000, settingsOf(UnitSystem::MetricBar, true, "1.4"), '.');
    QVERIFY(bar.render(printSize).save(lookDir + "/bar-5.5-4.0-3000.png"));
    const FlowGraphPicture kpa =
        DrawFlowGraph(5, 5, 1000, 900, 8000, settingsOf(UnitSystem::MetricKPa, true, "140"), '.');
    QVERIFY(kpa.render(printSize).save(lookDir + "/kpa-1000-900-8000.png"));
}

QTEST_MAIN(FlowGraphDrawingTest)
#include "test_flowgraphdrawing.moc"
