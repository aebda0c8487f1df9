#include "textfile/fileaccess.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr char16_t escapedByteBase = 0xDC00; // bytes 0x80..0xFF become U+DC80..U+DCFF

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at`, or 0 when the byte
// there starts none (overlong forms, surrogates and values past U+10FFFF
// included).
int utf8SequenceLength(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if (!isContinuation(byte(i)))
            return 0;
    return length;
}

bool isEscapedByte(char16_t c) {
    return c >= escapedByteBase + 0x80 && c <= escapedByteBase + 0xFF;
}

struct stat statusOf(const QString& path, bool followLinks, bool& found) {
    struct stat status {};
    const QByteArray name = nativeName(path);
    found =
        (followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status)) == 0;
    return status;
}

EntryKind kindOf(const QString& path, bool followLinks) {
    bool found = false;
    const struct stat status = statusOf(path, followLinks, found);
    if (!found)
        return EntryKind::Missing;
    if (S_ISREG(status.st_mode))
        return EntryKind::File;
    if (S_ISDIR(status.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(status.st_mode))
        return EntryKind::Link;
    return EntryKind::Other;
}

[[noreturn]] void cannotOpen(const QString& fileName, const QString& reason) {
    throw cannotOpenFile(fileName, reason);
}

// Closes the descriptor on every path.
class OpenFile {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    ~OpenFile() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

void makeOneFolder(const QString& path) {
    if (::mkdir(nativeName(path).constData(), 0777) == 0)
        return;
    const int error = errno;
    if (error == EEXIST && targetKind(path) == EntryKind::Folder)
        return;
    throw cannotCreateFolder(path, systemReason(error));
}

} // namespace

QByteArray nativeName(const QString& fileName) {
    bool escapes = false;
    for (const QChar c : fileName)
        escapes = escapes || isEscapedByte(c.unicode());
    if (!escapes)
        return fileName.toUtf8();
    QByteArray bytes;
    bytes.reserve(fileName.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= fileName.size(); ++i) {
        if (i < fileName.size() && !isEscapedByte(fileName[i].unicode()))
            continue;
        bytes += QStringView(fileName).mid(start, i - start).toUtf8();
        if (i < fileName.size())
            bytes += static_cast<char>(fileName[i].unicode() - escapedByteBase);
        start = i + 1;
    }
    return bytes;
}

QString nameFromNative(const QByteArray& bytes) {
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    name.reserve(bytes.size());
    qsizetype start = 0; // of the well-formed stretch not yet decoded
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const int length = byte < 0x80 ? 1 : utf8SequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.mid(start, i - start));
        name += QChar(char16_t(escapedByteBase + byte));
        start = ++i;
    }
    name += QString::fromUtf8(bytes.mid(start));
    return name;
}

QString systemReason(int errorNumber) {
    return QString::fromStdString(std::generic_category().message(errorNumber));
}

FileError cannotOpenFile(const QString& fileName, const QString& reason) {
    return FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason), reason);
}

FileError cannotCreateFile(const QString& fileName, const QString& reason) {
    return FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason), reason);
}

FileError cannotCreateFolder(const QString& folder, const QString& reason) {
    return FileError(QStringLiteral("Cannot create folder \"%1\". %2").arg(folder, reason), reason);
}

EntryKind entryKind(const QString& path) {
    return kindOf(path, false);
}

EntryKind targetKind(const QString& path) {
    return kindOf(path, true);
}

bool isWriteProtected(const QString& path) {
    bool found = false;
    const struct stat status = statusOf(path, true, found);
    if (!found)
        return false;
    // The permission bits count even for root, as a read-only attribute does.
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::access(nativeName(path).constData(), W_OK) != 0;
}

QByteArray readWholeFile(const QString& fileName, std::int64_t maxBytes) {
    // Not blocking: opening a FIFO without a writer would wait forever.
    const OpenFile file(
        ::open(nativeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        const int error = errno;
        // A socket cannot be opened at all: it is refused like a FIFO.
        if (error == ENXIO && targetKind(fileName) == EntryKind::Other)
            cannotOpen(fileName, QStringLiteral("It is not a regular file."));
        cannotOpen(fileName, systemReason(error));
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        cannotOpen(fileName, systemReason(errno));
    if (!S_ISREG(status.st_mode))
        cannotOpen(fileName, QStringLiteral("It is not a regular file."));
    const auto tooLarge = [&] {
        const QString limit = maxBytes % (1 << 20) == 0
                                  ? QStringLiteral("%1 MiB").arg(maxBytes >> 20)
                                  : QStringLiteral("%1 bytes").arg(maxBytes);
        cannotOpen(fileName,
                   QStringLiteral("It is larger than %1, too large to be read.").arg(limit));
    };
    if (status.st_size > maxBytes)
        tooLarge();
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(status.st_size));
    // Read to the end, as a file may grow while it is read, but no further
    // than the limit.
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            cannotOpen(fileName, systemReason(errno));
        if (got == 0)
            break;
        if (bytes.size() + got > maxBytes)
            tooLarge();
        bytes.append(block, got);
    }
    return bytes;
}

void makeFolder(const QString& path, bool parents) {
    if (!parents || path.isEmpty()) {
        makeOneFolder(path);
        return;
    }
    // Each missing folder from the top down; "a//b/" has the folders a and a//b.
    for (qsizetype slash = path.indexOf(QLatin1Char('/'), 1); slash > 0;
         slash = path.indexOf(QLatin1Char('/'), slash + 1))
        if (path[slash - 1] != QLatin1Char('/'))
            makeOneFolder(path.left(slash));
    if (!path.endsWith(QLatin1Char('/')))
        makeOneFolder(path);
}

QStringList folderEntries(const QString& folder) {
    QStringList names;
    DIR* const listing = ::opendir(nativeName(folder).constData());
    if (!listing)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(nameFromNative(name));
    }
    ::closedir(listing);
    return names;
}

bool removeFile(const QString& path) {
    return ::unlink(nativeName(path).constData()) == 0;
}
