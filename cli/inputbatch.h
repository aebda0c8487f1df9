#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// What one input file gave: bytes for standard output, or why it failed.
struct InputOutcome {
    QByteArray output;
    QString error; // empty when the input succeeded
};

using InputJob = std::function<InputOutcome(const QString& inputFile)>;
using OutcomeSink = std::function<void(qsizetype index, const InputOutcome& outcome)>;

// Runs the job on every input file, up to `jobs` at a time on worker
// threads, and hands the outcomes to the sink on the calling thread in input
// order, each as soon as it and all before it are done. The job must not
// throw; see catchingFailures.
void runInInputOrder(const QStringList& inputFiles, int jobs, const InputJob& job,
                     const OutcomeSink& sink);

// The job with every exception it throws turned into a failed outcome.
InputJob catchingFailures(InputJob job);
