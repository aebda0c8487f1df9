// Any test file through the whole report: composition, the PDF writer and
// the web page writer. Nothing may crash, no text run may outgrow what a
// page shows, the PDF must parse with the pages composed, and no text of the
// test may reach a web page unescaped.
#include "fuzzcheck.h"

#include "document/testfile.h"
#include "report/composer.h"
#include "report/flowtestreport.h"
#include "report/htmlwriter.h"
#include "report/pdfwriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <poppler-document.h>
#include <poppler-global.h>

#include <memory>

namespace {

QTemporaryDir* outputFolder = nullptr;

void quiet(const std::string&, void*) {}

// The first byte picks the unit system and the decimal separator, so every
// unit text and number format is reached; the rest is the test file.
ReportSnapshot snapshotOf(const QByteArray& input) {
    ReportSnapshot snapshot;
    const auto choice = input.isEmpty() ? 0u : static_cast<unsigned char>(input[0]);
    snapshot.settings.units = static_cast<UnitSystem>(choice % 3);
    snapshot.settings.showExtraFlow = (choice & 4) != 0;
    snapshot.decimalSeparator = (choice & 8) ? QLatin1Char(',') : QLatin1Char('.');
    snapshot.test = parseTestFile(input.mid(1));
    snapshot.settings.testedBy = snapshot.test.notes; // memo text of any kind
    return snapshot;
}

void checkRuns(const ComposedReport& pages) {
    for (const ComposedPage& page : pages)
        for (const PageItem& item : page.items)
            if (const auto* run = std::get_if<TextRun>(&item))
                fuzzCheck(run->text.size() <= longestTextRun, "a text run is cut to what shows");
}

void checkPdf(const QByteArray& pdf, qsizetype pageCount) {
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(pdf.constData(), static_cast<int>(pdf.size())));
    fuzzCheck(document != nullptr, "the PDF parses");
    fuzzCheck(document->pages() == pageCount, "the PDF holds every composed page");
}

void checkHtml(const ComposedReport& pages) {
    const QString folder = outputFolder->path();
    writeHtmlReport(pages, folder, QStringLiteral("report"), QStringLiteral(".html"));
    for (int k = 1; k <= pages.size(); ++k) {
        QFile page(QDir(folder).filePath(htmlPageFileName(QStringLiteral("report"), k, ".html")));
        fuzzCheck(page.open(QIODevice::ReadOnly), "every page is written");
        const QByteArray html = page.readAll();
        // The writer's own markup has no script; one can only come from the test.
        fuzzCheck(!html.contains("<script") && !html.contains("<SCRIPT"),
                  "test text is escaped on the page");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_reportfiles";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    static QTemporaryDir folder;
    outputFolder = &folder;
    poppler::set_debug_error_function(quiet, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    const ComposedReport pages = composeFlowTestReport(snapshotOf(input));
    fuzzCheck(!pages.isEmpty(), "a report has a page");
    checkRuns(pages);
    checkPdf(pdfBytes(pages), pages.size());
    checkHtml(pages);
    return 0;
}
