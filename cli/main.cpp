// flowtest-report: prints what the program computes from test files, or
// writes their reports.

#include "cli/commandline.h"
#include "cli/inputbatch.h"
#include "cli/reportcsv.h"
#include "cli/reportjson.h"
#include "cli/reportwriting.h"
#include "document/testfile.h"
#include "hydraulics/numbertext.h"
#include "report/jpegencoder.h"
#include "textfile/fileaccess.h"
#include "textfile/textfile.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <clocale>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// Progress is shown for batches larger than this, on a terminal only.
constexpr qsizetype quietBatchSize = 20;

void printTo(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

void printTo(std::FILE* stream, const QString& text) {
    printTo(stream, text.toUtf8());
}

// File names in messages keep their own bytes, so they can be pasted back.
void printError(const QString& message) {
    printTo(stderr, nativeName(QStringLiteral("flowtest-report: ") + message + QLatin1Char('\n')));
}

// A file name that is not UTF-8 is kept byte for byte.
QStringList argumentsAfterProgramName(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(nameFromNative(argv[i]));
    return arguments;
}

QtMessageHandler qtHandler = nullptr;

// Without a desktop session (cron, a server, CI) XDG_RUNTIME_DIR is unset and
// Qt says so on every start, only to look there for a sandbox marker; the
// tool's standard error keeps to the user's own inputs.
void withoutRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context,
                                const QString& message) {
    if (message.startsWith(QLatin1StringView("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
}

// Reports are drawn with fonts and pictures, which need a GUI application;
// without a display (servers, cron, CI) it runs offscreen. The text outputs
// start faster without one.
std::unique_ptr<QCoreApplication> makeApplication(bool drawing, int& argc, char* argv[]) {
    if (!drawing)
        return std::make_unique<QCoreApplication>(argc, argv);
    keepPictureBuffersMapped();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(withoutRuntimeFolderNotice);
    return std::make_unique<QGuiApplication>(argc, argv);
}

TestRecord readTest(const QString& file) {
    return parseTestFile(readWholeFile(file, maxTestFileBytes));
}

std::function<InputOutcome(const QString&)> lineJobFor(const CommandLine& command,
                                                       const Settings& settings) {
    const QChar separator = localeDecimalSeparator();
    if (command.output == CommandLine::Output::Csv)
        return [command, settings, separator](const QString& file) -> InputOutcome {
            return {csvRow(withAnalysisFlags(readTest(file), command), settings, file, separator),
                    {}};
        };
    return [command, settings, separator](const QString& file) -> InputOutcome {
        return {
            reportJsonLine(withAnalysisFlags(readTest(file), command), settings, file, separator) +
                '\n',
            {}};
    };
}

// "37/200" on standard error, rewritten in place, for large batches on a terminal.
class ProgressLine {
public:
    explicit ProgressLine(qsizetype total)
        : total_(total), shown_(total > quietBatchSize && isatty(STDERR_FILENO)) {}

    void update(qsizetype done) const {
        if (shown_)
            printTo(stderr, QStringLiteral("\r%1/%2").arg(done).arg(total_));
    }
    // An error line must not run into the progress text.
    void clear() const {
        if (shown_)
            printTo(stderr, QStringLiteral("\r\033[K"));
    }
    void finish() const {
        if (shown_)
            printTo(stderr, QStringLiteral("\n"));
    }

private:
    qsizetype total_;
    bool shown_;
};

// Every input is processed; a failed one is named on standard error and the
// others go on. Standard output gets the outcomes in input order.
int runJobs(const CommandLine& command, const std::function<InputOutcome(qsizetype)>& job) {
    const ProgressLine progress(command.files.size());
    bool allDone = true;
    runInInputOrder<InputOutcome>(command.files.size(),
                                  workerThreads(command.jobs, command.files.size()), job,
                                  [&](qsizetype index, const InputOutcome& outcome) {
                                      if (!outcome.error.isEmpty()) {
                                          std::fflush(stdout);
                                          progress.clear();
                                          printError(outcome.error);
                                          allDone = false;
                                      }
                                      printTo(stdout, outcome.output);
                                      progress.update(index + 1);
                                  });
    progress.finish();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError(QStringLiteral("Cannot write to standard output."));
        return 1;
    }
    return allDone ? 0 : 1;
}

int printLines(const CommandLine& command, const Settings& settings) {
    if (command.output == CommandLine::Output::Csv)
        printTo(stdout, csvHeader());
    return runJobs(command, catchingFailures(command.files, lineJobFor(command, settings)));
}

// Composes every input, then checks that no two inputs share an output path
// before anything is written: on one thread, so no check races another.
// The --out-dir folder is made once, after that check; should it vanish
// during the batch, the remaining inputs fail rather than make it again.
int writeReportFiles(const CommandLine& command, const Settings& settings) {
    const QChar separator = localeDecimalSeparator();
    QList<PlannedReport> batch;
    batch.reserve(command.files.size());
    runInInputOrder<PlannedReport>(
        command.files.size(), workerThreads(command.jobs, command.files.size()),
        [&](qsizetype i) { return planReport(command, settings, separator, command.files[i]); },
        [&](qsizetype, const PlannedReport& report) { batch.append(report); });
    if (const auto error = sharedOutputError(batch)) {
        printError(*error);
        printTo(stderr, usageHint());
        return 2;
    }
    if (command.output == CommandLine::Output::Folder) {
        try {
            makeFolder(command.outputPath, true);
        } catch (const FileError& error) {
            printError(error.message());
            return 1;
        }
    }
    const QSet<QString> written = batchPaths(batch);
    PlannedReport* const reports = batch.data(); // each worker touches its own report only
    return runJobs(command, [&](qsizetype i) -> InputOutcome {
        PlannedReport& report = reports[i];
        if (report.error.isEmpty())
            report.error =
                failureOf(report.inputFile, [&] { writeReports(report, command.force, written); });
        report.pages.clear(); // written: its memory can go
        return {{}, report.error};
    });
}

} // namespace

int main(int argc, char* argv[]) {
    const CommandLine command = parseCommandLine(argumentsAfterProgramName(argc, argv));
    switch (command.action) {
    case CommandLine::Action::Help:
        printTo(stdout, helpText());
        return 0;
    case CommandLine::Action::Version:
        printTo(stdout, QStringLiteral("flowtest-report " FLOWTEST_VERSION "\n"));
        return 0;
    case CommandLine::Action::UsageError:
        printError(command.usageError);
        printTo(stderr, usageHint());
        return 2;
    case CommandLine::Action::Report:
        break;
    }
    // Our arguments are read already; Qt gets none of them to interpret.
    int applicationArgc = 1;
    const auto application = makeApplication(drawsReports(command.output), applicationArgc, argv);
    // The application object switched the C library to the user's locale; C
    // number conversions underneath must keep reading and writing full stops.
    // The decimal separator of test files comes from QLocale, which is unaffected.
    std::setlocale(LC_NUMERIC, "C");
    Settings settings;
    try {
        settings = resolveSettings(command);
    } catch (const FileError& error) {
        printError(error.message());
        return 1;
    }
    return drawsReports(command.output) ? writeReportFiles(command, settings)
                                        : printLines(command, settings);
}
