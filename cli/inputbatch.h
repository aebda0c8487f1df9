#pragma once

#include <QByteArray>
#include <QFuture>
#include <QList>
#include <QString>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <functional>
#include <numeric>

// What one input file gave: bytes for standard output, or why it failed.
struct InputOutcome {
    QByteArray output;
    QString error; // empty when the input succeeded
};

// The worker threads for a batch: the number asked for (one per processor
// core when none), never more than there are inputs, than maxWorkerThreads
// or than the open-file limit leaves room for, and at least one.
inline constexpr int maxWorkerThreads = 64;
int workerThreads(int requested, qsizetype inputCount);

// Runs the job for every input index, on `threads` worker threads, and
// hands each result to the sink on the calling thread in input order, as
// soon as it and all before it are done. The job must not throw.
template <typename Result>
void runInInputOrder(qsizetype count, int threads, const std::function<Result(qsizetype)>& job,
                     const std::function<void(qsizetype, const Result&)>& sink) {
    QList<qsizetype> indices(count);
    std::iota(indices.begin(), indices.end(), qsizetype(0));
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    const QFuture<Result> results = QtConcurrent::mapped(&pool, indices, job);
    for (qsizetype i = 0; i < count; ++i)
        sink(i, results.resultAt(static_cast<int>(i))); // waits for that one
}

// Runs the work for one input file: empty when it succeeded, else the
// message of what it threw (naming the input file when the exception's own
// text does not). Nothing escapes, so no worker thread ends the process.
QString failureOf(const QString& inputFile, const std::function<void()>& work);

// The job with every exception it throws turned into a failed outcome that
// names the input file.
std::function<InputOutcome(qsizetype)>
catchingFailures(const QStringList& inputFiles,
                 std::function<InputOutcome(const QString& inputFile)> job);
