#include "cli/reportwriting.h"

#include "document/testfile.h"
#include "report/filerenders.h"
#include "report/htmlwriter.h"
#include "report/pdfwriter.h"
#include "textfile/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Where Save as html puts a report named like "folder/report.html".
struct HtmlPlace {
    QDir folder;
    HtmlName name;
};

HtmlPlace htmlPlace(const QString& fileName) {
    return {QFileInfo(fileName).absoluteDir(), splitHtmlName(fileName)};
}

QStringList existingFiles(const ReportTarget& target, qsizetype pageCount) {
    if (target.format == ReportTarget::Format::Pdf)
        return QFileInfo::exists(target.fileName) ? QStringList{target.fileName} : QStringList();
    const HtmlPlace place = htmlPlace(target.fileName);
    QStringList existing;
    for (int page = 1; page <= pageCount; ++page) {
        const QString pageFile =
            place.folder.filePath(htmlPageFileName(place.name.base, page, place.name.extension));
        if (QFileInfo::exists(pageFile))
            existing.append(pageFile);
    }
    const QDir pictures(place.folder.filePath(place.name.base));
    if (pictures.exists() && !pictures.isEmpty())
        existing.append(pictures.path() + QLatin1Char('/'));
    return existing;
}

void refuseToReplace(const QList<ReportTarget>& targets, qsizetype pageCount) {
    QStringList existing;
    for (const ReportTarget& target : targets)
        existing += existingFiles(target, pageCount);
    if (!existing.isEmpty())
        throw UserError(QStringLiteral("\"%1\" exists already; use --force to replace it.")
                            .arg(QDir::toNativeSeparators(existing.constFirst())));
}

} // namespace

QList<ReportTarget> reportTargets(const CommandLine& command, const QString& inputFile) {
    using Format = ReportTarget::Format;
    switch (command.output) {
    case CommandLine::Output::Pdf:
        return {{Format::Pdf, command.outputPath}};
    case CommandLine::Output::Html:
        return {{Format::Html, command.outputPath}};
    case CommandLine::Output::Folder:
        break;
    default:
        return {};
    }
    const QDir folder(command.outputPath);
    const QString name = reportBaseName(inputFile);
    QList<ReportTarget> targets;
    if (command.formats != CommandLine::Formats::Html)
        targets.append({Format::Pdf, folder.filePath(name + QStringLiteral(".pdf"))});
    if (command.formats != CommandLine::Formats::Pdf)
        targets.append({Format::Html, folder.filePath(name + QStringLiteral(".html"))});
    return targets;
}

ReportSnapshot snapshotOfFile(const QString& inputFile, const Settings& settings,
                              QChar decimalSeparator) {
    return {parseTestFile(readWholeFile(inputFile)), settings, decimalSeparator};
}

void writeReports(const ReportSnapshot& snapshot, const QList<ReportTarget>& targets,
                  bool replace) {
    const ComposedReport pages = composeFlowTestReport(snapshot);
    if (!replace)
        refuseToReplace(targets, pages.size());
    for (const ReportTarget& target : targets) {
        if (target.format == ReportTarget::Format::Pdf)
            writePdfFile(target.fileName, pages);
        else
            writeHtmlFile(target.fileName, pages);
    }
}
