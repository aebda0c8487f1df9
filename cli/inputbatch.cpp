#include "cli/inputbatch.h"

#include "textfile/textfile.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <exception>

void runInInputOrder(const QStringList& inputFiles, int jobs, const InputJob& job,
                     const OutcomeSink& sink) {
    QThreadPool pool;
    pool.setMaxThreadCount(jobs);
    const QFuture<InputOutcome> outcomes = QtConcurrent::mapped(&pool, inputFiles, job);
    for (qsizetype i = 0; i < inputFiles.size(); ++i)
        sink(i, outcomes.resultAt(static_cast<int>(i))); // waits for that one
}

InputJob catchingFailures(InputJob job) {
    return [job = std::move(job)](const QString& inputFile) -> InputOutcome {
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
