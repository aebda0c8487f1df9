#include "cli/inputbatch.h"

#include "textfile/textfile.h"

#include <QThread>

#include <algorithm>
#include <exception>
#include <sys/resource.h>

namespace {

// Each worker thread holds a few files open at once (its event loop's wake-up
// pipe, fonts, the file it reads or writes); the rest of the process a few
// dozen. A thread that cannot open its pipe aborts the process.
constexpr rlim_t filesPerWorker = 4;
constexpr rlim_t filesOfTheProcess = 32;

qsizetype threadsTheFileLimitAllows() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return maxWorkerThreads;
    if (limit.rlim_cur <= filesOfTheProcess + filesPerWorker)
        return 1;
    return static_cast<qsizetype>(
        std::min<rlim_t>((limit.rlim_cur - filesOfTheProcess) / filesPerWorker, maxWorkerThreads));
}

} // namespace

int workerThreads(int requested, qsizetype inputCount) {
    const qsizetype wanted = requested > 0 ? requested : QThread::idealThreadCount();
    return static_cast<int>(std::clamp<qsizetype>(
        std::min<qsizetype>({wanted, inputCount, threadsTheFileLimitAllows()}), 1,
        maxWorkerThreads));
}

QString failureOf(const QString& inputFile, const std::function<void()>& work) {
    try {
        work();
    } catch (const UserError& error) {
        return error.message();
    } catch (const std::exception& error) {
        return QStringLiteral("\"%1\": %2").arg(inputFile, QString::fromLocal8Bit(error.what()));
    }
    return {};
}

std::function<InputOutcome(qsizetype)>
catchingFailures(const QStringList& inputFiles,
                 std::function<InputOutcome(const QString& inputFile)> job) {
    return [&inputFiles, job = std::move(job)](qsizetype index) {
        const QString& inputFile = inputFiles[index];
        InputOutcome outcome;
        outcome.error = failureOf(inputFile, [&] { outcome = job(inputFile); });
        return outcome;
    };
}
