#include "cli/commandline.h"

#include "hydraulics/numbertext.h"
#include "options/optionsfile.h"
#include "textfile/textfile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <variant>

namespace {

const QString jsonName = QStringLiteral("json");
const QString csvName = QStringLiteral("csv");
const QString pdfName = QStringLiteral("pdf");
const QString htmlName = QStringLiteral("html");
const QString outDirName = QStringLiteral("out-dir");
const QString formatName = QStringLiteral("format");
const QString forceName = QStringLiteral("force");
const QString jobsName = QStringLiteral("jobs");
const QString optionsName = QStringLiteral("options");
const QString unitsName = QStringLiteral("units");
const QString testedByName = QStringLiteral("tested-by");
const QString extraPressureName = QStringLiteral("extra-pressure");
const QString extraFlowName = QStringLiteral("extra-flow");
const QString noExtraFlowName = QStringLiteral("no-extra-flow");
const QString analysisPdfName = QStringLiteral("analysis-pdf");
const QString demandName = QStringLiteral("demand");
const QString hoseName = QStringLiteral("hose");
const QString marginName = QStringLiteral("margin");
const QString helpName = QStringLiteral("help");
const QString versionName = QStringLiteral("version");

void addOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {jsonName, {}},
        {csvName, {}},
        {pdfName, {}, QStringLiteral("file")},
        {htmlName, {}, QStringLiteral("file")},
        {outDirName, {}, QStringLiteral("folder")},
        {formatName, {}, QStringLiteral("format")},
        {forceName, {}},
        {{QStringLiteral("j"), jobsName}, {}, QStringLiteral("n")},
        {optionsName, {}, QStringLiteral("file")},
        {unitsName, {}, QStringLiteral("units")},
        {testedByName, {}, QStringLiteral("text")},
        {extraPressureName, {}, QStringLiteral("text")},
        {extraFlowName, {}},
        {noExtraFlowName, {}},
        {analysisPdfName, {}, QStringLiteral("file")},
        {demandName, {}, QStringLiteral("demand")},
        {hoseName, {}, QStringLiteral("flow")},
        {marginName, {}, QStringLiteral("margin")},
        {{QStringLiteral("h"), helpName}, {}},
        {{QStringLiteral("V"), versionName}, {}},
    });
}

std::optional<UnitSystem> unitsFromName(const QString& name) {
    for (const UnitSystem units : unitSystems)
        if (name.compare(unitTexts(units).name, Qt::CaseInsensitive) == 0)
            return units;
    return std::nullopt;
}

std::optional<QString> lastValue(const QCommandLineParser& parser, const QString& name) {
    const QStringList values = parser.values(name);
    if (values.isEmpty())
        return std::nullopt;
    return values.constLast();
}

// --extra-flow and --no-extra-flow: the one given last wins.
std::optional<bool> showExtraFlowFlag(const QCommandLineParser& parser) {
    std::optional<bool> show;
    for (const QString& name : parser.optionNames()) {
        if (name == extraFlowName)
            show = true;
        else if (name == noExtraFlowName)
            show = false;
    }
    return show;
}

CommandLine usageError(const QString& message) {
    CommandLine command;
    command.action = CommandLine::Action::UsageError;
    command.usageError = message;
    return command;
}

struct OutputOption {
    const QString& name;
    CommandLine::Output output;
};
const OutputOption outputOptions[] = {
    {jsonName, CommandLine::Output::Json},
    {csvName, CommandLine::Output::Csv},
    {pdfName, CommandLine::Output::Pdf},
    {htmlName, CommandLine::Output::Html},
    {analysisPdfName, CommandLine::Output::AnalysisPdf},
    {outDirName, CommandLine::Output::Folder},
};

// The one output chosen, or the usage error that says why there is none.
std::variant<const OutputOption*, QString> chosenOutput(const QCommandLineParser& parser) {
    const OutputOption* chosen = nullptr;
    for (const OutputOption& option : outputOptions) {
        if (!parser.isSet(option.name))
            continue;
        if (chosen)
            return QStringLiteral("Use one output at a time: --%1 and --%2 were both given.")
                .arg(chosen->name, option.name);
        chosen = &option;
    }
    if (!chosen)
        return QStringLiteral(
            "Choose an output: --json, --csv, --pdf, --html, --analysis-pdf or --out-dir.");
    return chosen;
}

std::optional<CommandLine::Formats> formatsFromName(const QString& name) {
    const QString lower = name.toLower();
    using Formats = CommandLine::Formats;
    if (lower == QLatin1StringView("pdf"))
        return Formats{true, false, false};
    if (lower == QLatin1StringView("html"))
        return Formats{false, true, false};
    if (lower == QLatin1StringView("both"))
        return Formats{true, true, false};
    if (lower == QLatin1StringView("analysis"))
        return Formats{false, false, true};
    if (lower == QLatin1StringView("all"))
        return Formats{true, true, true};
    return std::nullopt;
}

bool readsAsNumber(const QString& text) {
    return readNumber(text, QLatin1Char('.')).has_value();
}

// [LABEL:]FLOW@PRESSURE[@ELEVATION], the numbers with either separator.
std::optional<DemandPoint> demandFromText(const QString& text) {
    const qsizetype firstAt = text.indexOf(QLatin1Char('@'));
    const qsizetype colon = firstAt < 0 ? -1 : text.lastIndexOf(QLatin1Char(':'), firstAt);
    const QStringList numbers = text.mid(colon + 1).split(QLatin1Char('@'));
    if (numbers.size() < 2 || numbers.size() > 3 ||
        !std::all_of(numbers.begin(), numbers.end(), readsAsNumber))
        return std::nullopt;
    return DemandPoint{colon < 0 ? QString() : text.left(colon).trimmed(), numbers[0].trimmed(),
                       numbers[1].trimmed(), numbers.value(2).trimmed()};
}

// A usage error naming the value that is not what the flag takes.
std::optional<QString> readAnalysisFlags(const QCommandLineParser& parser, CommandLine& command) {
    if (parser.isSet(demandName)) {
        QList<DemandPoint> demands;
        for (const QString& value : parser.values(demandName)) {
            const std::optional<DemandPoint> demand = demandFromText(value);
            if (!demand)
                return QStringLiteral("--demand \"%1\": give [LABEL:]FLOW@PRESSURE[@ELEVATION], "
                                      "for example \"Sprinklers:800@55\".")
                    .arg(messageExcerpt(value));
            demands.append(*demand);
        }
        command.demands = demands;
    }
    if (const auto hose = lastValue(parser, hoseName)) {
        if (!readsAsNumber(*hose))
            return QStringLiteral("--hose \"%1\": give the allowance as a flow, for example 250.")
                .arg(messageExcerpt(*hose));
        command.hoseAllowance = hose->trimmed();
    }
    if (const auto margin = lastValue(parser, marginName)) {
        QString number = margin->trimmed();
        const bool percent = number.endsWith(QLatin1Char('%'));
        if (percent)
            number.chop(1);
        if (!readsAsNumber(number))
            return QStringLiteral("--margin \"%1\": give a pressure, for example 10, or a "
                                  "percentage of the static pressure, for example 10%.")
                .arg(messageExcerpt(*margin));
        // As the test file keeps it: "10" or "10 %".
        command.safetyMargin = number.trimmed() + (percent ? QStringLiteral(" %") : QString());
    }
    return std::nullopt;
}

// Two inputs of one name would write the same reports in one folder.
std::optional<QString> sameNameError(const QStringList& files) {
    QHash<QString, QString> firstWithName;
    for (const QString& file : files) {
        const QString name = reportBaseName(file);
        const auto earlier = firstWithName.constFind(name);
        if (earlier != firstWithName.cend())
            return QStringLiteral("\"%1\" and \"%2\" would both write the reports named \"%3\" "
                                  "in the --out-dir folder.")
                .arg(*earlier, file, name);
        firstWithName.insert(name, file);
    }
    return std::nullopt;
}

// Reads what goes with the output chosen; a usage error text when it does not fit.
std::optional<QString> readOutputOptions(const QCommandLineParser& parser, CommandLine& command) {
    const auto chosen = chosenOutput(parser);
    if (const auto* error = std::get_if<QString>(&chosen))
        return *error;
    const OutputOption& output = *std::get<const OutputOption*>(chosen);
    command.output = output.output;
    command.outputPath = lastValue(parser, output.name).value_or(QString());
    const bool oneFile = command.output == CommandLine::Output::Pdf ||
                         command.output == CommandLine::Output::Html ||
                         command.output == CommandLine::Output::AnalysisPdf;
    if (oneFile && command.files.size() != 1)
        return QStringLiteral("--%1 writes the report of exactly one input file; use --out-dir for "
                              "more.")
            .arg(output.name);
    if (const auto format = lastValue(parser, formatName)) {
        if (command.output != CommandLine::Output::Folder)
            return QStringLiteral("--format goes with --out-dir.");
        const auto formats = formatsFromName(*format);
        if (!formats)
            return QStringLiteral("Unknown format \"%1\"; use pdf, html, both, analysis or all.")
                .arg(messageExcerpt(*format));
        command.formats = *formats;
    }
    if (command.output == CommandLine::Output::Folder)
        return sameNameError(command.files);
    return std::nullopt;
}

std::optional<QString> readJobs(const QCommandLineParser& parser, CommandLine& command) {
    const auto jobs = lastValue(parser, jobsName);
    if (!jobs)
        return std::nullopt;
    // Any count is taken; more threads than the tool uses are simply not started.
    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    const QString digits = jobs->trimmed();
    if (!wholeNumber.match(digits).hasMatch() || digits.count(QLatin1Char('0')) == digits.size())
        return QStringLiteral("-j/--jobs needs a whole number of at least 1, not \"%1\".")
            .arg(messageExcerpt(*jobs));
    bool fitsInt = false;
    command.jobs = digits.toInt(&fitsInt);
    if (!fitsInt)
        command.jobs = std::numeric_limits<int>::max();
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    addOptions(parser);
    // The parser expects the program name first.
    if (!parser.parse(QStringList{QStringLiteral("flowtest-report")} + arguments))
        return usageError(parser.errorText());

    CommandLine command;
    if (parser.isSet(helpName)) {
        command.action = CommandLine::Action::Help;
        return command;
    }
    if (parser.isSet(versionName)) {
        command.action = CommandLine::Action::Version;
        return command;
    }
    if (const auto units = lastValue(parser, unitsName)) {
        command.units = unitsFromName(*units);
        if (!command.units)
            return usageError(QStringLiteral("Unknown units \"%1\"; use us, bar or kpa.")
                                  .arg(messageExcerpt(*units)));
    }
    command.files = parser.positionalArguments();
    if (const auto error = readOutputOptions(parser, command))
        return usageError(*error);
    if (command.files.isEmpty())
        return usageError(QStringLiteral("No input file."));
    if (const auto error = readJobs(parser, command))
        return usageError(*error);
    if (const auto error = readAnalysisFlags(parser, command))
        return usageError(*error);

    command.action = CommandLine::Action::Report;
    command.optionsFile = lastValue(parser, optionsName);
    if (parser.isSet(testedByName))
        command.testedBy = parser.values(testedByName);
    command.extraPressure = lastValue(parser, extraPressureName);
    command.showExtraFlow = showExtraFlowFlag(parser);
    command.force = parser.isSet(forceName);
    return command;
}

bool drawsReports(CommandLine::Output output) {
    return output == CommandLine::Output::Pdf || output == CommandLine::Output::Html ||
           output == CommandLine::Output::AnalysisPdf || output == CommandLine::Output::Folder;
}

TestRecord withAnalysisFlags(TestRecord test, const CommandLine& command) {
    if (command.demands)
        test.demands = *command.demands;
    if (command.hoseAllowance)
        test.hoseAllowance = *command.hoseAllowance;
    if (command.safetyMargin)
        test.safetyMargin = *command.safetyMargin;
    return test;
}

QString reportBaseName(const QString& inputFile) {
    const QString name = QFileInfo(inputFile).fileName();
    if (name.endsWith(QLatin1StringView(".oft"), Qt::CaseInsensitive))
        return name.chopped(4);
    return name;
}

QString helpText() {
    return QStringLiteral(
        "Usage: flowtest-report OUTPUT [SETTINGS] [--force] [-j N] FILE.oft...\n"
        "Reads hydrant flow test files and prints what the program computes from them,\n"
        "or writes their reports. Needs no display.\n"
        "\n"
        "Output (exactly one):\n"
        "  --json               print, for each input file, one JSON object on one line\n"
        "                       (JSON Lines): the test, the settings, the report's unit\n"
        "                       texts and total, the numbers of the flow graph, the\n"
        "                       rating (flowAt20psi, nfpaClass, dropPercent; null where\n"
        "                       it cannot be computed), the water supply analysis (null\n"
        "                       without a demand point) and the stops and advice\n"
        "  --csv                print one table in CSV (RFC 4180, UTF-8, CR LF line ends):\n"
        "                       a header row, then one row per input file; columns below\n"
        "  --pdf FILE           write the report of the one input file to FILE, as the\n"
        "                       program's Save as pdf does\n"
        "  --html FILE          write the report of the one input file as web pages, as\n"
        "                       the program's Save as html does: for FILE report.html the\n"
        "                       pages report1.html, report2.html, ... and the picture\n"
        "                       folder report/\n"
        "  --out-dir FOLDER     write the report of every input file into FOLDER (made\n"
        "                       once, when missing), named after the input file without\n"
        "                       .oft: NAME.pdf, or NAME1.html... with the picture folder\n"
        "                       NAME/; two input files whose reports would share a file\n"
        "                       name are a usage error, and an input whose NAME would\n"
        "                       leave FOLDER (\".oft\", \"..oft\") fails\n"
        "  --analysis-pdf FILE  write the water supply analysis page of the one input\n"
        "                       file to FILE, as the results window's Save as pdf does\n"
        "  --format pdf|html|both|analysis|all  what --out-dir writes (default: pdf):\n"
        "                       the report as NAME.pdf, NAME1.html..., the water supply\n"
        "                       analysis page as NAME-analysis.pdf; all is every one\n"
        "\n"
        "  --force              replace existing report files; without it an input file\n"
        "                       whose PDF file, page file or non-empty picture folder\n"
        "                       exists fails, and nothing is written for it. A symbolic\n"
        "                       link at an output is never followed: it counts as an\n"
        "                       existing file, and --force replaces the link itself\n"
        "  -j N, --jobs N       process N input files at a time (default: one per\n"
        "                       processor core; never more than 64 or than there are\n"
        "                       input files); the output keeps the input order\n"
        "\n"
        "Settings (default: the user's own options file, as the program loads it):\n"
        "  --options FILE       take the settings from this options file instead; a file\n"
        "                       that does not exist or cannot be read is an error (exit 1,\n"
        "                       nothing processed)\n"
        "  --units us|bar|kpa   unit system: U.S., metric with bar, metric with kPa\n"
        "  --tested-by TEXT     one line of the tester text; repeat for more lines (given\n"
        "                       at least once, it replaces the tester text)\n"
        "  --extra-pressure TEXT  the pressure for the flow at a chosen pressure\n"
        "  --extra-flow, --no-extra-flow  show that flow or not (the last one given wins)\n"
        "\n"
        "Water supply analysis (in place of the Demand, HoseAllowance and SafetyMargin\n"
        "lines of the test files):\n"
        "  --demand [LABEL:]FLOW@PRESSURE[@ELEVATION]  a demand point: the flow a\n"
        "                       sprinkler system needs at a residual pressure, and the\n"
        "                       point's elevation on the read hydrant's datum; repeat for\n"
        "                       more points\n"
        "  --hose FLOW          the hose stream allowance, added at the demand pressure\n"
        "  --margin P|P%        the safety margin: a pressure, or a percentage of the\n"
        "                       static pressure\n"
        "\n"
        "  -h, --help           print this help\n"
        "  -V, --version        print the version\n"
        "\n"
        "CSV columns: file (as given), date, time, location (its lines joined by \" / \"),\n"
        "static, residual (as written in the file), outlets (the number of outlet rows\n"
        "the program shows), totalFlow, flowAtChosenPressure and chosenPressure (the\n"
        "graph note's flow and pressure; empty without a note), flowAt20psi (the flow of\n"
        "the graph's supply line at 20 psi residual: 1.379 bar, 137.9 kPa), nfpaClass\n"
        "(NFPA 291 class of that flow: AA 1500 gpm or more, A 1000 to 1499, B 500 to\n"
        "999, C below 500; lpm count as 1/3.785411784 gpm), dropPercent ((static -\n"
        "residual) / static x 100), units (us, bar or kpa: the units of the row's\n"
        "numbers, as --units names them), demandFlow, demandPressure, availablePressure,\n"
        "marginPressure and verdict (the analysis's demand point with the smallest\n"
        "margin; empty without one), advice (why the test cannot be rated, then the\n"
        "field advice, joined by \" / \"). Flows and the percentage have one decimal,\n"
        "the pressure is written in full; decimal points are full stops whatever the\n"
        "locale. A cell that cannot be computed (no graph, static at or below 20 psi,\n"
        "a pressure that is not a number) is empty. Values are in the units of the\n"
        "settings; nothing is converted.\n"
        "\n"
        "Numbers in test files and in --extra-pressure may have a full stop or a comma\n"
        "as their decimal separator, whatever the locale.\n"
        "\n"
        "Input files must be regular files of at most 64 MiB; a device, FIFO, socket or\n"
        "folder is refused at once. A file that fails is named on standard error with\n"
        "the system's reason, and the other files are still processed. No file is\n"
        "ever left half-written: a report replaces its old files only when every one\n"
        "of its files was written whole, so a full disk leaves the old ones as they\n"
        "were. With more than 20 input files and standard error on a terminal, a\n"
        "progress line counts them.\n"
        "\n"
        "Environment: the user's options file is $APPDATA/Ostrel/FlowTest/FlowTest20.INI\n"
        "(without APPDATA, in the user's configuration folder, ~/.config). Reports are\n"
        "drawn offscreen unless QT_QPA_PLATFORM names another platform.\n"
        "\n"
        "Exit status: 0 when every file was processed; 1 when a file could not be read\n"
        "or its report not written (the other files are still processed), or when the\n"
        "options file could not be read or the --out-dir folder not made (nothing\n"
        "processed); 2 for a usage error, or when two input files would write the same\n"
        "report file (nothing written).\n");
}

QString usageHint() {
    return QStringLiteral(
        "Usage: flowtest-report --json|--csv|--pdf FILE|--html FILE|--analysis-pdf FILE|\n"
        "                       --out-dir FOLDER [SETTINGS] [--force] [-j N] FILE.oft...\n"
        "Try 'flowtest-report --help' for more information.\n");
}

Settings resolveSettings(const CommandLine& command) {
    Settings settings;
    if (command.optionsFile)
        settings = settingsFromOptionsLines(settings, readKeyValueFile(*command.optionsFile));
    else
        loadOptionsFile(optionsFileName(), settings);

    if (command.units)
        settings.units = *command.units;
    if (command.testedBy)
        settings.testedBy = *command.testedBy;
    if (command.extraPressure)
        settings.extraPressure = *command.extraPressure;
    if (command.showExtraFlow)
        settings.showExtraFlow = *command.showExtraFlow;
    return settings;
}
