// Times the report files of a one-page report with a 600 x 270 graph
// picture (1830 x 824 pixels at 300 dpi): the picture's raster, its JPEG
// encoding, and the whole PDF. With a folder argument it also writes the
// page there as sample.pdf and sample1.html, to look at.
//
//   reportfilesbench [folder]

#include "report/htmlwriter.h"
#include "report/jpegencoder.h"
#include "report/pagepicture.h"
#include "report/pdfwriter.h"
#include "report/textmetrics.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QPicture graphPicture() {
    QPicture picture;
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::lightGray, 0.5));
    for (int x = 40; x <= 580; x += 54)
        painter.drawLine(x, 10, x, 240);
    for (int y = 10; y <= 240; y += 23)
        painter.drawLine(40, y, 580, y);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawRect(40, 10, 540, 230);
    painter.setPen(QPen(Qt::blue, 2));
    painter.drawLine(40, 40, 310, 110);
    painter.drawLine(310, 110, 580, 240);
    painter.setFont(QFont("Arial", 9));
    painter.setPen(Qt::black);
    painter.drawText(QRect(40, 245, 540, 20), Qt::AlignCenter, "Flow, gpm");
    painter.end();
    picture.setBoundingRect(QRect(0, 0, 600, 270));
    return picture;
}

TextRun text(const QString& s, double x, double baseline, ReportFont font = {12, false}) {
    return TextRun{s, font, {x, baseline}, {}};
}

ComposedPage samplePage(const QString& notes) {
    const ReportFont title{22, true};
    const QString heading = QStringLiteral("Hydrant Flow Test Report");
    const double centred = (8.5 - TextMetrics::arial().width(heading, title)) / 2;
    ComposedPage page;
    page.items = {
        text(heading, centred, 1.0, title),
        RuleLine{{1.0, 1.2}, {7.5, 1.2}, 1.0 / 72},
        text(QStringLiteral("Location: 123 Main St & 5th Ave"), 1.0, 1.6),
        text(QStringLiteral("Date: 2024-05-14"), 5.0, 1.6),
        text(QStringLiteral("Tested by: J. Smith"), 1.0, 1.85),
        text(QStringLiteral("Static: 72 psi"), 5.0, 1.85, {12, true}),
        TextRun{QStringLiteral("A remark far too long for its box"),
                {12, false},
                {1.0, 2.3},
                QRectF(1.0, 2.1, 2.0, 0.3)},
        text(notes, 1.0, 2.8),
        RuleLine{{1.0, 3.0}, {3.0, 3.6}, 2.0 / 72},
        PagePicture{QRectF(1.2, 4.0, 6.1, 6.1 * 270 / 600), graphPicture()},
        text(QStringLiteral("Page 1 of 1"), 1.0, 10.5, {8, false}),
    };
    return page;
}

// Best and median of n runs, in milliseconds.
void time(const char* what, int runs, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s best %7.2f ms   median %7.2f ms   (%d runs)\n", what, ms.front(),
                ms[ms.size() / 2], runs);
}

} // namespace

int main(int argc, char** argv) {
    const QGuiApplication app(argc, argv);
    const ComposedReport plain{samplePage(QStringLiteral("Notes: hydrant painted, cap greased."))};
    const ComposedReport unicode{samplePage(QStringLiteral("Notes: Привет, Ωμέγα, 消防栓."))};
    const PagePicture& picture = std::get<PagePicture>(plain.first().items[9]);
    const QImage raster = pagePictureImage(picture, pictureDotsPerInch);

    constexpr int runs = 20;
    time("picture raster 1830 x 824 (pagePictureImage)", runs,
         [&] { pagePictureImage(picture, pictureDotsPerInch); });
    time("JPEG encoding of that raster (encodeJpeg)", runs, [&] { encodeJpeg(raster); });
    time("picture to JPEG (pagePictureJpeg)", runs, [&] { pagePictureJpeg(picture); });
    time("PDF, WinAnsi text (pdfBytes)", runs, [&] { pdfBytes(plain); });
    time("PDF, Cyrillic/Greek/Chinese embedded", runs, [&] { pdfBytes(unicode); });
    std::printf("JPEG %lld bytes, PDF %lld bytes, PDF with fonts %lld bytes\n",
                static_cast<long long>(encodeJpeg(raster).size()),
                static_cast<long long>(pdfBytes(plain).size()),
                static_cast<long long>(pdfBytes(unicode).size()));

    if (argc > 1) {
        const QString folder = QString::fromLocal8Bit(argv[1]);
        writePdfFile(folder + "/sample.pdf", unicode);
        writeHtmlReport(unicode, folder, "sample", ".html");
    }
    return 0;
}
