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

bool ReportSystem::execute(const ReportProject& project, const QString& reportName,
                           const QList<DataConnection*>& connections) {
    const ReportDefinition* report = project.report(reportName);
    ReportOutput* output = destination == ReportDestination::Printer   ? printer
                           : destination == ReportDestination::Preview ? preview
                                                                       : writer;
    if (!report || !output)
        return false;
    ReportComposer composer(project, connections);
    composer.onPageStarted([this](int page) { reportStatus(generatingStatus, page); });
    output->produce(composer.compose(*report), *this);
    return true;
}
