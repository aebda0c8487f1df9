#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// Recovery files: while a test has unsaved changes, the running program
// keeps it in a folder of its own state (never beside the user's test), so
// a test typed before a crash, a kill, a power cut or a logout can be had
// again at the next start.
//
// Each running program owns one recovery, named by an id: "<id>.oft" holds
// the test exactly as Save writes it, "<id>.ini" when it was written and
// the test file it belongs to, and "<id>.lock" is locked (flock) by the
// owning process for as long as it runs, so no other copy of the program
// ever takes a live one; a lock dies with its process, however it ends.

// What a recovery holds.
struct RecoveryContent {
    QByteArray testBytes;
    QString belongsTo; // the test file's name; empty for a new test
    QDateTime written;
};

// A lock on one recovery id, held until destroyed.
class RecoveryLock {
public:
    ~RecoveryLock();
    RecoveryLock(const RecoveryLock&) = delete;
    RecoveryLock& operator=(const RecoveryLock&) = delete;

    // A new id of this process in `folder` (made when missing, with its
    // parents). Throws FileError when no lock can be made there.
    static std::unique_ptr<RecoveryLock> claimNew(const QString& folder);
    // The lock of an existing id, unless a running program holds it.
    static std::unique_ptr<RecoveryLock> tryClaim(const QString& folder, const QString& id);

    const QString& folder() const { return folder_; }
    const QString& id() const { return id_; }
    QString path(const char* extension) const; // folder/id.extension

private:
    RecoveryLock(QString folder, QString id, int descriptor);

    QString folder_;
    QString id_;
    int descriptor_;
};

// A recovery that no running program owns, found at start-up.
struct FoundRecovery {
    std::unique_ptr<RecoveryLock> lock; // held while it is offered
    RecoveryContent content;
};

// A recovery that cannot be read: why, and where its files were put aside.
struct UnreadableRecovery {
    QString fileName;
    QString reason;
    QString keptAs;
};

struct RecoveryScan {
    std::vector<FoundRecovery> found; // newest first
    QList<UnreadableRecovery> unreadable;
};

// The recoveries in `folder` that no running program owns. One that cannot
// be read (a folder or link at its names, bytes that are no recovery, a
// newer version) is moved into the folder's "Unreadable" folder, never
// deleted, and reported.
RecoveryScan scanRecoveries(const QString& folder);

// The recovery of the running program.
class RecoveryFile {
public:
    // A new one, or one taken over (with its lock) from a program that ended.
    explicit RecoveryFile(std::unique_ptr<RecoveryLock> lock);
    // Removes the lock; the recovery itself stays (see remove()).
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // Whole or not at all, through the one file writer; any other thread
    // may call it, one at a time. Throws FileError.
    void write(const RecoveryContent& content) const;
    // The test is saved or given up: its recovery goes.
    void remove() const;
    bool exists() const;
    const RecoveryLock& lock() const { return *lock_; }

private:
    std::unique_ptr<RecoveryLock> lock_;
};

// The bytes of a recovery's description, and back: none when they are not
// a description of this version.
QByteArray recoveryDescription(const RecoveryContent& content);
std::optional<RecoveryContent> readRecoveryDescription(const QByteArray& bytes);
