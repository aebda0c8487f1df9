#include "cli/reportwriting.h"

#include "cli/inputbatch.h"
#include "document/testfile.h"
#include "report/filerenders.h"
#include "report/htmlwriter.h"
#include "report/pdfwriter.h"
#include "report/printjobtitle.h"
#include "report/supplyanalysisreport.h"
#include "textfile/fileaccess.h"
#include "textfile/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// Where Save as html puts a report named like "folder/report.html".
struct HtmlPlace {
    QDir folder;
    HtmlName name;
};

HtmlPlace htmlPlace(const QString& fileName) {
    return {QFileInfo(fileName).dir(), splitHtmlName(fileName)};
}

// An output that is there already: a file, a link (dangling or not), or a
// picture folder with something in it.
bool isTaken(const QString& path, bool isPictureFolder) {
    switch (entryKind(path)) {
    case EntryKind::Missing:
        return false;
    case EntryKind::Folder:
        return !isPictureFolder || !folderEntries(path).isEmpty();
    default:
        return true;
    }
}

void refuseToReplace(const PlannedReport& report) {
    for (const ReportTarget& target : report.targets) {
        const QStringList paths = targetPaths(target, report.pages.size());
        for (qsizetype i = 0; i < paths.size(); ++i) {
            const bool isPictureFolder =
                target.format == ReportTarget::Format::Html && i == paths.size() - 1;
            if (isTaken(paths[i], isPictureFolder))
                throw UserError(QStringLiteral("\"%1\" exists already; use --force to replace it.")
                                    .arg(paths[i] + (isPictureFolder ? "/" : "")));
        }
    }
}

// Paths compare as the file system sees them: "d/./a.pdf" is "d/a.pdf".
QString comparablePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QList<ReportTarget> reportTargets(const CommandLine& command, const QString& inputFile) {
    using Format = ReportTarget::Format;
    switch (command.output) {
    case CommandLine::Output::Pdf:
        return {{Format::Pdf, command.outputPath}};
    case CommandLine::Output::Html:
        return {{Format::Html, command.outputPath}};
    case CommandLine::Output::AnalysisPdf:
        return {{Format::AnalysisPdf, command.outputPath}};
    case CommandLine::Output::Folder:
        break;
    default:
        return {};
    }
    const QDir folder(command.outputPath);
    const QString name = reportBaseName(inputFile);
    QList<ReportTarget> targets;
    if (command.formats.pdf)
        targets.append({Format::Pdf, folder.filePath(name + QStringLiteral(".pdf"))});
    if (command.formats.html)
        targets.append({Format::Html, folder.filePath(name + QStringLiteral(".html"))});
    if (command.formats.analysis)
        targets.append(
            {Format::AnalysisPdf, folder.filePath(name + QStringLiteral("-analysis.pdf"))});
    return targets;
}

QStringList targetPaths(const ReportTarget& target, qsizetype pageCount) {
    if (target.format != ReportTarget::Format::Html)
        return {target.fileName};
    const HtmlPlace place = htmlPlace(target.fileName);
    QStringList paths;
    for (int page = 1; page <= pageCount; ++page)
        paths.append(
            place.folder.filePath(htmlPageFileName(place.name.base, page, place.name.extension)));
    paths.append(place.folder.filePath(place.name.base));
    return paths;
}

std::optional<QString> reportNameRefusal(const CommandLine& command, const QString& inputFile) {
    if (command.output != CommandLine::Output::Folder)
        return std::nullopt;
    const QString name = reportBaseName(inputFile);
    if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String(".."))
        return std::nullopt;
    return QStringLiteral("\"%1\": its reports would be named \"%2\", which is no name of a file "
                          "inside the --out-dir folder; rename the input file.")
        .arg(inputFile, name);
}

ReportSnapshot snapshotOfFile(const QString& inputFile, const Settings& settings,
                              QChar decimalSeparator) {
    return {parseTestFile(readWholeFile(inputFile, maxTestFileBytes)), settings, decimalSeparator};
}

PlannedReport planReport(const CommandLine& command, const Settings& settings,
                         QChar decimalSeparator, const QString& inputFile) {
    PlannedReport report{inputFile, {}, {}, {}, {}, {}, {}};
    if (const auto refusal = reportNameRefusal(command, inputFile)) {
        report.error = *refusal;
        return report;
    }
    report.error = failureOf(inputFile, [&] {
        ReportSnapshot snapshot = snapshotOfFile(inputFile, settings, decimalSeparator);
        snapshot.test = withAnalysisFlags(snapshot.test, command);
        report.pages = composeFlowTestReport(snapshot);
        report.title = printJobTitle(snapshot.test);
        report.targets = reportTargets(command, inputFile);
        const auto analysis = [](const ReportTarget& target) {
            return target.format == ReportTarget::Format::AnalysisPdf;
        };
        if (std::any_of(report.targets.cbegin(), report.targets.cend(), analysis)) {
            report.analysisPages = composeSupplyAnalysisReport(snapshot);
            report.analysisTitle = analysisJobTitle(snapshot.test);
        }
        for (const ReportTarget& target : report.targets) {
            if (target.format != ReportTarget::Format::Html)
                continue;
            const HtmlPlace place = htmlPlace(target.fileName);
            checkHtmlReportName(place.folder.path(), place.name.base, place.name.extension);
        }
    });
    if (!report.error.isEmpty())
        report.targets.clear(); // it writes nothing, so it meets no other input
    return report;
}

std::optional<QString> sharedOutputError(const QList<PlannedReport>& batch) {
    QHash<QString, qsizetype> owner; // path -> the input that writes it
    for (qsizetype i = 0; i < batch.size(); ++i) {
        for (const ReportTarget& target : batch[i].targets) {
            for (const QString& path : targetPaths(target, batch[i].pages.size())) {
                const QString key = comparablePath(path);
                const auto first = owner.constFind(key);
                if (first == owner.cend()) {
                    owner.insert(key, i);
                } else if (*first != i) {
                    return QStringLiteral("\"%1\" and \"%2\" would both write \"%3\"; rename "
                                          "one of them or give them separate folders.")
                        .arg(batch[*first].inputFile, batch[i].inputFile, path);
                }
            }
        }
    }
    return std::nullopt;
}

QSet<QString> batchPaths(const QList<PlannedReport>& batch) {
    QSet<QString> paths;
    for (const PlannedReport& report : batch)
        for (const ReportTarget& target : report.targets)
            for (const QString& path : targetPaths(target, report.pages.size()))
                paths.insert(comparablePath(path));
    return paths;
}

void writeReports(const PlannedReport& report, bool replace, const QSet<QString>& batchPaths) {
    if (!replace)
        refuseToReplace(report);
    const HtmlOutput html{LinkHandling::Replace, report.title, [&batchPaths](const QString& path) {
                              return batchPaths.contains(comparablePath(path));
                          }};
    for (const ReportTarget& target : report.targets) {
        switch (target.format) {
        case ReportTarget::Format::Pdf:
            writePdfFile(target.fileName, report.pages, report.title, LinkHandling::Replace);
            break;
        case ReportTarget::Format::Html:
            writeHtmlFile(target.fileName, report.pages, html);
            break;
        case ReportTarget::Format::AnalysisPdf:
            writePdfFile(target.fileName, report.analysisPages, report.analysisTitle,
                         LinkHandling::Replace);
            break;
        }
    }
}
