#include "document/recovery.h"

#include "textfile/fileaccess.h"
#include "textfile/filewriter.h"
#include "textfile/textfile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1StringView versionKey("Version");
const QLatin1StringView writtenKey("Written");
const QLatin1StringView fileKey("File");
const QString currentVersion = QStringLiteral("1");
// A description is a few lines; anything longer is no description.
constexpr std::int64_t maxDescriptionBytes = 64 * 1024;

bool sameFile(int descriptor, const QString& path) {
    struct stat held {};
    struct stat named {};
    return fstat(descriptor, &held) == 0 && lstat(nativeName(path).constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Locked, and still the file at that name: a lock file that another
// program removed in between locks nothing.
int lockedDescriptor(const QString& path, int flags) {
    const int descriptor =
        open(nativeName(path).constData(), flags | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0)
        return -1;
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0 || !sameFile(descriptor, path)) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

QString idOf(const QString& name) {
    for (const char* extension : {".oft", ".ini", ".lock"})
        if (name.endsWith(QLatin1String(extension)))
            return name.chopped(static_cast<qsizetype>(qstrlen(extension)));
    return {};
}

QString fileOf(const QString& folder, const QString& id, const char* extension) {
    return QDir(folder).filePath(id + QLatin1Char('.') + QLatin1String(extension));
}

// Why a recovery's files cannot be read; empty when they can.
QString readRefusal(const QString& path) {
    switch (entryKind(path)) {
    case EntryKind::File:
        return {};
    case EntryKind::Missing:
        return QStringLiteral("It is missing.");
    default:
        return QStringLiteral("It is not a regular file.");
    }
}

// Moves what there is of a recovery into the folder's "Unreadable" folder;
// returns where its test went.
QString putAside(const RecoveryLock& lock) {
    const QString aside = QDir(lock.folder()).filePath(QStringLiteral("Unreadable"));
    makeFolder(aside);
    QString keptAs;
    for (const char* extension : {"oft", "ini"}) {
        const QString from = lock.path(extension);
        if (entryKind(from) == EntryKind::Missing)
            continue;
        const QString to = fileOf(aside, lock.id(), extension);
        if (::rename(nativeName(from).constData(), nativeName(to).constData()) != 0)
            throw cannotCreateFile(to, systemReason(errno));
        if (keptAs.isEmpty() || QLatin1String(extension) == QLatin1String("oft"))
            keptAs = to;
    }
    return keptAs;
}

} // namespace

RecoveryLock::RecoveryLock(QString folder, QString id, int descriptor)
    : folder_(std::move(folder)), id_(std::move(id)), descriptor_(descriptor) {}

RecoveryLock::~RecoveryLock() {
    close(descriptor_);
}

QString RecoveryLock::path(const char* extension) const {
    return fileOf(folder_, id_, extension);
}

std::unique_ptr<RecoveryLock> RecoveryLock::claimNew(const QString& folder) {
    makeFolder(folder, true);
    for (int attempt = 0;; ++attempt) {
        const QString id = QStringLiteral("%1-%2").arg(getpid()).arg(
            QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const QString path = fileOf(folder, id, "lock");
        const int descriptor = lockedDescriptor(path, O_CREAT | O_EXCL);
        if (descriptor >= 0)
            return std::unique_ptr<RecoveryLock>(new RecoveryLock(folder, id, descriptor));
        if (errno != EEXIST && errno != EWOULDBLOCK && errno != ENOENT)
            throw cannotCreateFile(path, systemReason(errno));
        if (attempt == 100)
            throw cannotCreateFile(path, systemReason(EEXIST));
    }
}

std::unique_ptr<RecoveryLock> RecoveryLock::tryClaim(const QString& folder, const QString& id) {
    const int descriptor = lockedDescriptor(fileOf(folder, id, "lock"), O_CREAT);
    if (descriptor < 0)
        return nullptr;
    return std::unique_ptr<RecoveryLock>(new RecoveryLock(folder, id, descriptor));
}

QByteArray recoveryDescription(const RecoveryContent& content) {
    return keyValueBytes({
        {versionKey, currentVersion},
        {writtenKey, content.written.toUTC().toString(Qt::ISODateWithMs)},
        // The name's own bytes, so a name that is not UTF-8 comes back whole.
        {fileKey, QString::fromLatin1(nativeName(content.belongsTo).toPercentEncoding("/"))},
    });
}

std::optional<RecoveryContent> readRecoveryDescription(const QByteArray& bytes) {
    RecoveryContent content;
    bool ofThisVersion = false;
    for (const KeyValue& line : parseKeyValueText(bytes)) {
        if (keyIs(line, versionKey))
            ofThisVersion = line.value == currentVersion;
        else if (keyIs(line, writtenKey))
            content.written = QDateTime::fromString(line.value, Qt::ISODateWithMs);
        else if (keyIs(line, fileKey))
            content.belongsTo =
                nameFromNative(QByteArray::fromPercentEncoding(line.value.toLatin1()));
    }
    if (!ofThisVersion || !content.written.isValid())
        return std::nullopt;
    return content;
}

RecoveryScan scanRecoveries(const QString& folder) {
    RecoveryScan scan;
    QSet<QString> ids;
    for (const QString& name : folderEntries(folder))
        if (const QString id = idOf(name); !id.isEmpty() && !name.endsWith(QLatin1String(".lock")))
            ids.insert(id);
    for (const QString& id : std::as_const(ids)) {
        std::unique_ptr<RecoveryLock> lock = RecoveryLock::tryClaim(folder, id);
        if (!lock)
            continue; // a running program's, or not ours to take
        QString failed = lock->path("ini");
        QString reason = readRefusal(failed);
        std::optional<RecoveryContent> content;
        try {
            if (reason.isEmpty()) {
                content = readRecoveryDescription(readWholeFile(failed, maxDescriptionBytes));
                if (!content)
                    reason =
                        QStringLiteral("It is no recovery file of this version of the program.");
            }
            if (reason.isEmpty()) {
                failed = lock->path("oft");
                reason = readRefusal(failed);
            }
            if (reason.isEmpty())
                content->testBytes = readWholeFile(failed);
        } catch (const FileError& error) {
            reason = error.reason();
        }
        if (reason.isEmpty()) {
            scan.found.push_back({std::move(lock), std::move(*content)});
            continue;
        }
        UnreadableRecovery unreadable{failed, reason, {}};
        try {
            unreadable.keptAs = putAside(*lock);
        } catch (const FileError& error) {
            unreadable.reason += QLatin1Char(' ') + error.message();
        }
        removeFile(lock->path("lock"));
        scan.unreadable.append(unreadable);
    }
    std::sort(scan.found.begin(), scan.found.end(),
              [](const FoundRecovery& a, const FoundRecovery& b) {
                  return a.content.written > b.content.written;
              });
    return scan;
}

RecoveryFile::RecoveryFile(std::unique_ptr<RecoveryLock> lock) : lock_(std::move(lock)) {}

RecoveryFile::~RecoveryFile() {
    // A recovery that stays keeps its lock file for the next start.
    if (!exists())
        removeFile(lock_->path("lock"));
}

void RecoveryFile::write(const RecoveryContent& content) const {
    // A link at a name in the program's own folder is replaced, never followed.
    writeFileSet({{lock_->path("oft"), content.testBytes},
                  {lock_->path("ini"), recoveryDescription(content)}},
                 LinkHandling::Replace);
}

void RecoveryFile::remove() const {
    removeFile(lock_->path("ini"));
    removeFile(lock_->path("oft"));
}

bool RecoveryFile::exists() const {
    return entryKind(lock_->path("oft")) != EntryKind::Missing ||
           entryKind(lock_->path("ini")) != EntryKind::Missing;
}
