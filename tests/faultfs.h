#pragma once

// Small file systems for fault tests: a full device and a read-only folder
// that hold even for root (whom permission bits do not stop).

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QStringList>

// Everything below a folder, hidden names too, sorted: what a failed write
// must leave as it was.
inline QStringList everythingIn(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(QDir(folder).relativeFilePath(it.next()));
    names.sort();
    return names;
}

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

// While it lives, no file of this process may grow past `bytes`: a write
// beyond fails with "File too large", as on a full disk, for any user and
// without a mount.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int);
};

// A tiny memory file system, unmounted whatever the test's outcome.
class TinyFileSystem {
public:
    explicit TinyFileSystem(const QString& mountPoint, const char* size = "size=32k")
        : path_(QFile::encodeName(mountPoint)),
          mounted_(::geteuid() == 0 && ::mount("tmpfs", path_.constData(), "tmpfs", 0, size) == 0) {
    }
    ~TinyFileSystem() {
        if (mounted_)
            ::umount2(path_.constData(), MNT_DETACH);
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;
    bool mounted() const { return mounted_; }
    // From now on nothing can be created, written or removed in it.
    bool makeReadOnly() const {
        return mounted_ &&
               ::mount("tmpfs", path_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    const QByteArray path_;
    const bool mounted_;
};

// Writes until the file system has no room left.
inline bool fillUp(const QString& fileName) {
    QFile filler(fileName);
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'x');
    for (int i = 0; i < 1024; ++i)
        if (filler.write(block) != block.size() || !filler.flush())
            return true;
    return false;
}

// A folder whose files are set up first and which is then write-protected:
// a read-only mount for root, the permission bits otherwise.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path), device_(path, "size=1m") {}
    ~ReadOnlyFolder() {
        if (!device_.mounted())
            QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool usable() const { return device_.mounted() || ::geteuid() != 0; }
    bool protect() {
        if (device_.mounted())
            return device_.makeReadOnly();
        return QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner);
    }

private:
    QString path_;
    TinyFileSystem device_;
};
#endif
