#pragma once

#include "document/recovery.h"
#include "document/testrecord.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// The window's test as a recovery holds it.
struct RecoverySnapshot {
    TestRecord test;
    QString belongsTo; // the test file it was opened from or saved to; empty for a new one
};

// Keeps the recovery file of the window's test while the test has unsaved
// changes: written a short moment after a change and at most every 2 s
// while typing goes on, off the user-interface thread, and removed once the
// test is saved or given up. A write that fails is tried again at the next
// change; its reason is told, never shown in a box.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // The test while it has unsaved changes; none when it has none.
    using Source = std::function<std::optional<RecoverySnapshot>()>;

    static constexpr int delayMs = 2000;

    // `file` may be null: no recovery could be claimed (`problem` says why).
    RecoveryKeeper(std::unique_ptr<RecoveryFile> file, Source source, QString problem = {},
                   QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    // The test changed: a write follows within delayMs.
    void testChanged();
    // Writes at once, on this thread, waiting for a write in progress; for
    // the end of the session, when no moment is left.
    void writeNow();
    // The test was saved, or its changes given up: its recovery goes.
    void discard();
    // Continues in a recovery taken over from a program that ended.
    void adopt(std::unique_ptr<RecoveryFile> file);

    // "The recovery file cannot be written: No space left on device."; empty
    // when the last write succeeded.
    const QString& problem() const { return problem_; }
    const RecoveryFile* file() const { return file_.get(); }

signals:
    void problemChanged(const QString& problem);

private:
    void startWrite();
    void writeFinished();
    void finishWriting();
    void setProblem(const QString& problem);

    std::unique_ptr<RecoveryFile> file_;
    Source source_;
    QTimer timer_;
    QFutureWatcher<QString> writing_;
    bool changedWhileWriting_ = false;
    QString problem_;
};

// A write's failure as the results window tells it.
QString recoveryProblem(const QString& reason);
