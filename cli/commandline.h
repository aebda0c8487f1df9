#pragma once

#include "document/testrecord.h"
#include "hydraulics/settings.h"
#include "hydraulics/units.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command line of flowtest-report, read into plain values.
struct CommandLine {
    enum class Action { Report, Help, Version, UsageError };
    Action action = Action::UsageError;
    QString usageError; // what was wrong, for Action::UsageError

    // What is made of the inputs: lines on standard output, or report files.
    enum class Output { Json, Csv, Pdf, Html, AnalysisPdf, Folder };
    Output output = Output::Json;
    QString outputPath; // the file of --pdf, --html and --analysis-pdf, the folder of --out-dir
    // What --out-dir writes of each input.
    struct Formats {
        bool pdf = true;
        bool html = false;
        bool analysis = false; // NAME-analysis.pdf
    };
    Formats formats;
    bool force = false; // replace existing report files
    int jobs = 0;       // inputs at a time; 0 for one per processor core

    QStringList files;
    std::optional<QString> optionsFile;
    std::optional<UnitSystem> units;
    std::optional<QStringList> testedBy; // set when --tested-by was given at least once
    std::optional<QString> extraPressure;
    std::optional<bool> showExtraFlow;
    // The water supply analysis, in place of what the test files hold.
    std::optional<QList<DemandPoint>> demands; // set when --demand was given at least once
    std::optional<QString> hoseAllowance;
    std::optional<QString> safetyMargin;
};

// A test as the flags make it: --demand, --hose and --margin replace its own.
TestRecord withAnalysisFlags(TestRecord test, const CommandLine& command);

// Reads the arguments after the program name. Later copies of a setting win;
// --tested-by accumulates.
CommandLine parseCommandLine(const QStringList& arguments);

// The outputs that need the report drawn (and so a GUI application object).
bool drawsReports(CommandLine::Output output);

// The name an input's reports get in an --out-dir folder: its file name
// without a final ".oft" (of any case).
QString reportBaseName(const QString& inputFile);

QString helpText();
QString usageHint(); // the short hint printed after a usage error

// The settings to report with: the defaults, then the options file given with
// --options (which must exist) or else the user's own options file (skipped
// when there is none), then the flags. Throws FileError when an options file
// cannot be read.
Settings resolveSettings(const CommandLine& command);
