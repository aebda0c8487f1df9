#include "report/reportsystem.h"

#include "report/composer.h"
#include "report/reportdefinition.h"

QString ReportSystem::statusLine(const QString& format, int page) {
    QString line = format;
    return line.replace(QStringLiteral("%p"), QString::number(page));
}

void ReportSystem::reportStatus(const QString& format, int page) const {
    if (onStatus)
        onStatus(statusLine(format, page));
}

namespace {

ReportOutput* outputOf(const ReportSystem& system) {
    switch (system.destination) {
    case ReportDestination::Printer:
        return system.printer;
    case ReportDestination::Preview:
        return system.preview;
    case ReportDestination::File:
        break;
    }
    return system.writer;
}

} // namespace

bool ReportSystem::execute(const ReportProject& project, const QString& reportName,
                           const QList<DataConnection*>& connections) {
    const ReportDefinition* report = project.report(reportName);
    if (!report || !outputOf(*this))
        return false;
    ReportComposer composer(project, connections);
    composer.onPageStarted([this](int page) { reportStatus(generatingStatus, page); });
    return produce(composer.compose(*report));
}

bool ReportSystem::produce(const ComposedReport& pages) {
    ReportOutput* output = outputOf(*this);
    if (!output)
        return false;
    output->produce(pages, *this);
    return true;
}
