#include "app/recoverykeeper.h"

#include "document/testfile.h"
#include "textfile/textfile.h"

#include <QDateTime>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// The reason of a failed write; empty when it succeeded.
QString writeRecovery(const RecoveryFile& file, const RecoverySnapshot& snapshot) {
    try {
        file.write(
            {testFileBytes(snapshot.test), snapshot.belongsTo, QDateTime::currentDateTime()});
    } catch (const FileError& error) {
        return error.reason().isEmpty() ? error.message() : error.reason();
    }
    return {};
}

} // namespace

QString recoveryProblem(const QString& reason) {
    QString line = QStringLiteral("The recovery file cannot be written: ") + reason;
    if (!line.endsWith(QLatin1Char('.')))
        line += QLatin1Char('.');
    return line;
}

RecoveryKeeper::RecoveryKeeper(std::unique_ptr<RecoveryFile> file, Source source, QString problem,
                               QObject* parent)
    : QObject(parent), file_(std::move(file)), source_(std::move(source)),
      problem_(std::move(problem)) {
    timer_.setSingleShot(true);
    timer_.setInterval(delayMs);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::startWrite);
    connect(&writing_, &QFutureWatcher<QString>::finished, this, &RecoveryKeeper::writeFinished);
}

RecoveryKeeper::~RecoveryKeeper() {
    writing_.waitForFinished();
}

void RecoveryKeeper::testChanged() {
    if (writing_.isRunning())
        changedWhileWriting_ = true;
    else if (!timer_.isActive())
        timer_.start();
}

void RecoveryKeeper::startWrite() {
    if (!file_ || writing_.isRunning())
        return;
    const std::optional<RecoverySnapshot> snapshot = source_();
    if (!snapshot) {
        file_->remove();
        return;
    }
    // Serializing and syncing a large test takes longer than a frame.
    const RecoveryFile* file = file_.get();
    writing_.setFuture(
        QtConcurrent::run([file, snapshot = *snapshot] { return writeRecovery(*file, snapshot); }));
}

void RecoveryKeeper::writeFinished() {
    setProblem(writing_.result().isEmpty() ? QString() : recoveryProblem(writing_.result()));
    if (changedWhileWriting_) {
        changedWhileWriting_ = false;
        timer_.start();
    }
}

void RecoveryKeeper::finishWriting() {
    timer_.stop();
    if (writing_.isRunning()) {
        writing_.waitForFinished();
        writeFinished();
    }
    timer_.stop();
    changedWhileWriting_ = false;
}

void RecoveryKeeper::writeNow() {
    finishWriting();
    if (!file_)
        return;
    if (const std::optional<RecoverySnapshot> snapshot = source_()) {
        const QString reason = writeRecovery(*file_, *snapshot);
        setProblem(reason.isEmpty() ? QString() : recoveryProblem(reason));
    }
}

void RecoveryKeeper::discard() {
    finishWriting();
    if (file_)
        file_->remove();
}

void RecoveryKeeper::adopt(std::unique_ptr<RecoveryFile> file) {
    finishWriting();
    if (file_)
        file_->remove();
    file_ = std::move(file);
}

void RecoveryKeeper::setProblem(const QString& problem) {
    if (problem == problem_)
        return;
    problem_ = problem;
    emit problemChanged(problem_);
}
