#include "cli/inputbatch.h"

#include "textfile/textfile.h"

#include <QThread>

#include <algorithm>
#include <exception>

int workerThreads(int requested, qsizetype inputCount) {
    const qsizetype wanted = requested > 0 ? requested : QThread::idealThreadCount();
    return static_cast<int>(std::clamp<qsizetype>(
        std::min<qsizetype>({wanted, inputCount, maxWorkerThreads}), 1, maxWorkerThreads));
}

std::function<InputOutcome(qsizetype)>
catchingFailures(const QStringList& inputFiles,
                 std::function<InputOutcome(const QString& inputFile)> job) {
    return [&inputFiles, job = std::move(job)](qsizetype index) -> InputOutcome {
        const QString& inputFile = inputFiles[index];
        try {
            return job(inputFile);
        } catch (const UserError& error) {
            return {{}, error.message()};
        } catch (const std::exception& error) {
            return {
                {},
                QStringLiteral("\"%1\": %2").arg(inputFile, QString::fromLocal8Bit(error.what()))};
        }
    };
}
