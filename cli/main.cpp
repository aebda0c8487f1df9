// flowtest-report: prints what the program computes from test files.

#include "cli/commandline.h"
#include "cli/reportjson.h"
#include "document/testfile.h"
#include "hydraulics/numbertext.h"
#include "textfile/textfile.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>

namespace {

void printTo(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

void printError(const QString& message) {
    printTo(stderr, QStringLiteral("flowtest-report: ") + message + QLatin1Char('\n'));
}

// One JSON line per file on standard output; a file that cannot be read is
// named on standard error and the others go on.
int printReports(const QStringList& files, const Settings& settings) {
    const QChar separator = localeDecimalSeparator();
    bool allRead = true;
    for (const QString& file : files) {
        try {
            const TestRecord record = parseTestFile(readWholeFile(file));
            const QByteArray line = reportJsonLine(record, settings, file, separator) + '\n';
            std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
        } catch (const FileError& error) {
            std::fflush(stdout);
            printError(error.message());
            allRead = false;
        }
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError(QStringLiteral("Cannot write to standard output."));
        return 1;
    }
    return allRead ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    // The application object switched the C library to the user's locale; C
    // number conversions underneath must keep reading and writing full stops.
    // The decimal separator of test files comes from QLocale, which is unaffected.
    std::setlocale(LC_NUMERIC, "C");
    const CommandLine command = parseCommandLine(QCoreApplication::arguments().mid(1));
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
    Settings settings;
    try {
        settings = resolveSettings(command);
    } catch (const FileError& error) {
        printError(error.message());
        return 1;
    }
    return printReports(command.files, settings);
}
