#include "cli/commandline.h"

#include "options/optionsfile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {

const QString jsonName = QStringLiteral("json");
const QString optionsName = QStringLiteral("options");
const QString unitsName = QStringLiteral("units");
const QString testedByName = QStringLiteral("tested-by");
const QString extraPressureName = QStringLiteral("extra-pressure");
const QString extraFlowName = QStringLiteral("extra-flow");
const QString noExtraFlowName = QStringLiteral("no-extra-flow");
const QString helpName = QStringLiteral("help");
const QString versionName = QStringLiteral("version");

void addOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {jsonName, {}},
        {optionsName, {}, QStringLiteral("file")},
        {unitsName, {}, QStringLiteral("units")},
        {testedByName, {}, QStringLiteral("text")},
        {extraPressureName, {}, QStringLiteral("text")},
        {extraFlowName, {}},
        {noExtraFlowName, {}},
        {{QStringLiteral("h"), helpName}, {}},
        {{QStringLiteral("V"), versionName}, {}},
    });
}

std::optional<UnitSystem> unitsFromName(const QString& name) {
    const QString lower = name.toLower();
    if (lower == QLatin1StringView("us"))
        return UnitSystem::US;
    if (lower == QLatin1StringView("bar"))
        return UnitSystem::MetricBar;
    if (lower == QLatin1StringView("kpa"))
        return UnitSystem::MetricKPa;
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
            return usageError(
                QStringLiteral("Unknown units \"%1\"; use us, bar or kpa.").arg(*units));
    }
    if (!parser.isSet(jsonName))
        return usageError(QStringLiteral("Missing --json: JSON is the only output so far."));
    command.files = parser.positionalArguments();
    if (command.files.isEmpty())
        return usageError(QStringLiteral("No input file."));

    command.action = CommandLine::Action::Report;
    command.optionsFile = lastValue(parser, optionsName);
    if (parser.isSet(testedByName))
        command.testedBy = parser.values(testedByName);
    command.extraPressure = lastValue(parser, extraPressureName);
    command.showExtraFlow = showExtraFlowFlag(parser);
    return command;
}

QString helpText() {
    return QStringLiteral(
        "Usage: flowtest-report --json [SETTINGS] FILE.oft...\n"
        "Reads hydrant flow test files and prints what the program computes from them.\n"
        "\n"
        "  --json               print, for each input file, one JSON object on one line\n"
        "                       (JSON Lines): the test, the settings, the report's unit\n"
        "                       texts and total, and the numbers of the flow graph\n"
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
        "  -h, --help           print this help\n"
        "  -V, --version        print the version\n"
        "\n"
        "Exit status: 0 when every file was processed; 1 when a file or the options file\n"
        "could not be read (each named on standard error; the other files are still\n"
        "processed); 2 for a usage error.\n");
}

QString usageHint() {
    return QStringLiteral("Usage: flowtest-report --json [SETTINGS] FILE.oft...\n"
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
