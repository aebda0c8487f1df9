// Times the report of a real test (examples/us-three-outlets.oft): its
// composition, the page drawn at 300 dpi as print and preview draw it, the
// graph's picture at 300 dpi (white fill, drawing), its JPEG encoding alone
// (the floor of every file writer), and one report to PDF, all in one run.
// With --jpeg-floor N it times only the floor under a batch of N reports: N
// encodings of that picture, shared among as many threads as flowtest-report
// uses by default. With a folder argument it also writes the report there as
// report.pdf, report1.html and page.png, to look at. Memory is set up as in
// flowtest-report, so that both pay the same for their buffers.
//
//   reportbench [folder]
//   reportbench --jpeg-floor N

#include "document/testfile.h"
#include "report/flowtestreport.h"
#include "report/htmlwriter.h"
#include "report/jpegencoder.h"
#include "report/pagepicture.h"
#include "report/painterwriter.h"
#include "report/pdfwriter.h"
#include "textfile/fileaccess.h"
#include "textfile/textfile.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

// Best and median of n runs, in milliseconds; returns the best.
double time(const char* what, int runs, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s best %7.2f ms   median %7.2f ms\n", what, ms.front(), ms[ms.size() / 2]);
    return ms.front();
}

const PagePicture& graphOf(const ComposedReport& pages) {
    for (const PageItem& item : pages.first().items)
        if (const auto* picture = std::get_if<PagePicture>(&item))
            return *picture;
    std::fprintf(stderr, "the example report has no graph\n");
    std::exit(1);
}

// As flowtest-report's workers take input files: one thread a picture, as
// each report draws its own.
void encodeOnThreads(const std::vector<QImage>& pictures, int encodings) {
    std::atomic<int> next = 0;
    std::vector<std::jthread> threads;
    for (const QImage& own : pictures)
        threads.emplace_back([&next, &own, encodings] {
            while (next.fetch_add(1) < encodings)
                encodeJpeg(own);
        });
}

void timeJpegFloor(const QImage& picture, int files) {
    time("JPEG encoding floor, one picture", 30, [&] { encodeJpeg(picture); });
    std::vector<QImage> pictures;
    for (int t = 0; t < QThread::idealThreadCount(); ++t)
        pictures.push_back(picture.copy());
    const QByteArray what = QByteArray("JPEG encoding floor, ") + QByteArray::number(files) +
                            " pictures on " + QByteArray::number(pictures.size()) + " threads";
    time(what.constData(), 5, [&] { encodeOnThreads(pictures, files); });
}

void timeReport(const ReportSnapshot& snapshot, const ReportSnapshot& unicode,
                const PagePicture& graph, const QImage& picture) {
    constexpr int runs = 30;
    time("composition (graph drawn once)", runs, [&] { composeFlowTestReport(snapshot); });
    time("composition + whole page at 300 dpi (print)", runs,
         [&] { pageImage(composeFlowTestReport(snapshot).first(), 300); });
    QImage white(picture.size(), QImage::Format_RGB32);
    time("graph at 300 dpi: white fill alone", runs, [&] { white.fill(Qt::white); });
    time("graph at 300 dpi: fill and drawing", runs,
         [&] { pagePictureImage(graph, pictureDotsPerInch); });
    const double jpeg =
        time("graph JPEG encoding alone, 1830 x 824", runs, [&] { encodeJpeg(picture); });
    time("graph drawn and encoded (the PDF's picture)", runs, [&] { pagePictureJpeg(graph); });
    const double pdf = time("report to PDF: composition, graph, JPEG, PDF", runs,
                            [&] { pdfBytes(composeFlowTestReport(snapshot)); });
    time("report to PDF with Cyrillic, Greek, Chinese", runs,
         [&] { pdfBytes(composeFlowTestReport(unicode)); });
    std::printf("report to PDF / JPEG alone: %.2f\n", pdf / jpeg);
}

} // namespace

int main(int argc, char** argv) {
    keepPictureBuffersMapped();
    const QGuiApplication app(argc, argv);
    ReportSnapshot snapshot;
    snapshot.test =
        parseTestFile(readWholeFile(QStringLiteral(FLOWTEST_EXAMPLES_DIR "/us-three-outlets.oft")));
    snapshot.settings.testedBy = {QStringLiteral("Springfield Fire Prevention Bureau")};
    ReportSnapshot unicode = snapshot;
    unicode.test.notes.append(QStringLiteral("Привет, Ωμέγα, 消防栓"));
    const ComposedReport pages = composeFlowTestReport(snapshot);
    // The PDF's picture, which the floor encodes the way the PDF does.
    const QImage picture = pagePictureImage(graphOf(pages), pictureDotsPerInch);

    if (argc > 2 && std::strcmp(argv[1], "--jpeg-floor") == 0) {
        timeJpegFloor(picture, std::max(1, std::atoi(argv[2])));
        return 0;
    }
    timeReport(snapshot, unicode, graphOf(pages), picture);
    if (argc > 1) {
        const QString folder = QString::fromLocal8Bit(argv[1]);
        writePdfFile(folder + "/report.pdf", composeFlowTestReport(unicode));
        writeHtmlReport(composeFlowTestReport(unicode), folder, "report", ".html");
        pageImage(pages.first(), 100).save(folder + "/page.png");
    }
    return 0;
}
