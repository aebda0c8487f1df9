#include "textfile/filewriter.h"

#include "textfile/fileaccess.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int maxLinkHops = 40; // as the system's own limit
// Room for a temporary name's prefix and suffix within a 255-byte file name.
constexpr qsizetype maxTemporaryStem = 200;

// A failed step, with the system's reason in words.
struct StepFailed {
    QString reason;
};

[[noreturn]] void fail(int error = errno) {
    throw StepFailed{systemReason(error)};
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray baseOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

QByteArray besideIt(const QByteArray& path, const QByteArray& name) {
    const qsizetype slash = path.lastIndexOf('/');
    return path.left(slash + 1) + name;
}

// The file a name leads to through its symbolic links; a dangling link leads
// to where it points.
QByteArray linkTarget(QByteArray path) {
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), target.data(), target.size());
        if (length < 0)
            fail();
        target.truncate(length);
        path = target.startsWith('/') ? target : besideIt(path, target);
    }
    fail(ELOOP);
}

QByteArray randomSuffix() {
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(8, Qt::Uninitialized);
    for (char& c : suffix)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return suffix;
}

// "folder/.name.<kind>-xxxxxxxx": hidden, beside the file, in the same file
// system, so renaming it over the file is atomic.
QByteArray hiddenNameBeside(const QByteArray& path, const char* kind) {
    return besideIt(path,
                    '.' + baseOf(path).left(maxTemporaryStem) + '.' + kind + '-' + randomSuffix());
}

ssize_t writeCall(const WriterCalls& calls, int file, const char* data, size_t size) {
    return calls.write ? calls.write(file, data, size) : ::write(file, data, size);
}
int fsyncCall(const WriterCalls& calls, int file) {
    return calls.fsync ? calls.fsync(file) : ::fsync(file);
}
int renameCall(const WriterCalls& calls, const char* from, const char* to) {
    return calls.rename ? calls.rename(from, to) : ::rename(from, to);
}

void writeAll(const WriterCalls& calls, int file, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = writeCall(calls, file, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            fail();
        if (written == 0)
            fail(EIO);
        data += written;
        left -= written;
    }
}

// One file of the set on its way to its name.
struct StagedFile {
    QString shownName; // as the caller named it, for messages
    QByteArray target; // where it goes, links resolved when followed
    QByteArray temporary;
    QByteArray backup; // a second name of the old file while the set is renamed
    bool existed = false;
};

// Temporary files and backups of one set: whatever is not put in place is
// removed on every path.
class Staging {
public:
    explicit Staging(const WriterCalls& calls) : calls_(calls) {}
    ~Staging() {
        for (const StagedFile& file : files_) {
            if (!file.temporary.isEmpty())
                ::unlink(file.temporary.constData());
            if (!file.backup.isEmpty())
                ::unlink(file.backup.constData());
        }
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    void stage(const FileContent& content, LinkHandling links) {
        files_.push_back({content.fileName, nativeName(content.fileName), {}, {}, false});
        StagedFile& file = files_.back();
        if (links == LinkHandling::Follow)
            file.target = linkTarget(file.target);
        const std::optional<mode_t> keptMode = modeToKeep(file.target);
        file.existed =
            keptMode.has_value() || entryKind(nameFromNative(file.target)) == EntryKind::Link;
        writeTemporary(file, content.bytes, keptMode);
    }

    // Renames every file into place; when one rename fails, the ones before
    // it get their old files back.
    void putInPlace() {
        if (files_.size() > 1)
            keepBackups();
        for (size_t i = 0; i < files_.size(); ++i) {
            StagedFile& file = files_[i];
            if (renameCall(calls_, file.temporary.constData(), file.target.constData()) != 0) {
                const int error = errno;
                restoreBefore(i);
                throw cannotCreateFile(file.shownName, systemReason(error));
            }
            file.temporary.clear();
        }
        syncFolders();
    }

private:
    // The permissions of the file being replaced; none for a new name (or a
    // link being replaced). Refuses what must not be replaced.
    static std::optional<mode_t> modeToKeep(const QByteArray& target) {
        struct stat status {};
        if (::lstat(target.constData(), &status) != 0) {
            if (errno == ENOENT)
                return std::nullopt;
            fail();
        }
        if (S_ISLNK(status.st_mode))
            return std::nullopt;
        if (S_ISDIR(status.st_mode))
            fail(EISDIR);
        if (!S_ISREG(status.st_mode))
            throw StepFailed{QStringLiteral("It is not a regular file.")};
        // Renaming would replace a read-only file; the user protected it.
        if (isWriteProtected(nameFromNative(target)))
            fail(EACCES);
        return status.st_mode & 07777;
    }

    void writeTemporary(StagedFile& file, const QByteArray& bytes, std::optional<mode_t> mode) {
        int descriptor = -1;
        for (int attempt = 0; descriptor < 0; ++attempt) {
            file.temporary = hiddenNameBeside(file.target, "tmp");
            descriptor =
                ::open(file.temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor < 0 && (errno != EEXIST || attempt == 100)) {
                file.temporary.clear();
                fail();
            }
        }
        try {
            if (mode && ::fchmod(descriptor, *mode) != 0)
                fail();
            writeAll(calls_, descriptor, bytes);
            if (fsyncCall(calls_, descriptor) != 0)
                fail();
        } catch (...) {
            ::close(descriptor);
            throw;
        }
        // A file system may report a failed write only when the file is closed.
        if (::close(descriptor) != 0)
            fail();
    }

    void keepBackups() {
        for (StagedFile& file : files_) {
            if (!file.existed)
                continue;
            const QByteArray backup = hiddenNameBeside(file.target, "old");
            // Without a second name (a file system without hard links) the
            // old file cannot come back, but nothing is lost by trying.
            if (::link(file.target.constData(), backup.constData()) == 0)
                file.backup = backup;
        }
    }

    void restoreBefore(size_t failed) {
        for (size_t i = failed; i-- > 0;) {
            StagedFile& file = files_[i];
            if (!file.backup.isEmpty() &&
                ::rename(file.backup.constData(), file.target.constData()) == 0)
                file.backup.clear();
            else if (!file.existed)
                ::unlink(file.target.constData());
        }
    }

    // Makes the renames themselves durable; a folder that cannot be synced
    // still holds the files.
    void syncFolders() const {
        std::set<QByteArray> folders;
        for (const StagedFile& file : files_)
            folders.insert(folderOf(file.target));
        for (const QByteArray& folder : folders) {
            const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (descriptor >= 0) {
                ::fsync(descriptor);
                ::close(descriptor);
            }
        }
    }

    const WriterCalls& calls_;
    std::vector<StagedFile> files_;
};

} // namespace

void writeFileSet(const QList<FileContent>& files, LinkHandling links, const WriterCalls& calls) {
    if (files.isEmpty())
        return;
    Staging staging(calls);
    for (const FileContent& file : files) {
        try {
            staging.stage(file, links);
        } catch (const StepFailed& failed) {
            throw cannotCreateFile(file.fileName, failed.reason);
        }
    }
    staging.putInPlace();
}
