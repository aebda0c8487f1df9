// Times the report of a real test (examples/us-three-outlets.oft): its
// composition, the page drawn at 300 dpi as print and preview draw it, the
// graph's JPEG encoding alone (the floor of every file writer), and one
// report to PDF, all in one run. With a folder argument it also writes the
// report there as report.pdf, report1.html and page.png, to look at.
//
//   reportbench [folder]

#include "textfile/fileaccess.h"
#include "document/testfile.h"
#include "report/flowtestreport.h"
#include "report/htmlwriter.h"
#include "report/jpegencoder.h"
#include "report/pagepicture.h"
#include "report/painterwriter.h"
#include "report/pdfwriter.h"
#include "textfile/textfile.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <functional>
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

} // namespace

int main(int argc, char** argv) {
    const QGuiApplication app(argc, argv);
    ReportSnapshot snapshot;
    snapshot.test =
        parseTestFile(readWholeFile(QStringLiteral(FLOWTEST_EXAMPLES_DIR "/us-three-outlets.oft")));
    snapshot.settings.testedBy = {QStringLiteral("Springfield Fire Prevention Bureau")};
    ReportSnapshot unicode = snapshot;
    unicode.test.notes.append(QStringLiteral("Привет, Ωμέγα, 消防栓"));

    const ComposedReport pages = composeFlowTestReport(snapshot);
    const QImage graph = pagePictureImage(graphOf(pages), pictureDotsPerInch);
    constexpr int runs = 30;
    time("composition (graph drawn once)", runs, [&] { composeFlowTestReport(snapshot); });
    time("composition + whole page at 300 dpi (print)", runs,
         [&] { pageImage(composeFlowTestReport(snapshot).first(), 300); });
    const double jpeg =
        time("graph JPEG encoding alone, 1830 x 824", runs, [&] { encodeJpeg(graph); });
    const double pdf = time("report to PDF: composition, graph, JPEG, PDF", runs,
                            [&] { pdfBytes(composeFlowTestReport(snapshot)); });
    time("report to PDF with Cyrillic, Greek, Chinese", runs,
         [&] { pdfBytes(composeFlowTestReport(unicode)); });
    std::printf("report to PDF / JPEG alone: %.2f\n", pdf / jpeg);

    if (argc > 1) {
        const QString folder = QString::fromLocal8Bit(argv[1]);
        writePdfFile(folder + "/report.pdf", composeFlowTestReport(unicode));
        writeHtmlReport(composeFlowTestReport(unicode), folder, "report", ".html");
        pageImage(pages.first(), 100).save(folder + "/page.png");
    }
    return 0;
}
