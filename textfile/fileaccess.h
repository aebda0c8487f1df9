#pragma once

#include "textfile/textfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>

// Files and folders as the system knows them, by names of any bytes, with
// the system's reasons in words. Every file the program reads and every
// folder it makes goes through here.

// A name as the system holds it: bytes, mostly UTF-8. Bytes that are not
// UTF-8 are kept as U+DC80..U+DCFF, so any name read from the system goes
// back to it unchanged; Qt's own conversion would replace them.
QByteArray nativeName(const QString& fileName);
QString nameFromNative(const QByteArray& bytes);

// The system's reason for an error number, in words: "No space left on device".
QString systemReason(int errorNumber);

// The user's messages for what failed: "Cannot open file "<name>". <reason>",
// "Cannot create file ..." and "Cannot create folder ...".
FileError cannotOpenFile(const QString& fileName, const QString& reason);
FileError cannotCreateFile(const QString& fileName, const QString& reason);
FileError cannotCreateFolder(const QString& folder, const QString& reason);

enum class EntryKind { Missing, File, Folder, Link, Other };
// What the name itself is: a symbolic link is not followed.
EntryKind entryKind(const QString& path);
// What the name leads to, links followed: a dangling link is Missing; a
// device, FIFO or socket is Other.
EntryKind targetKind(const QString& path);
inline bool isRegularFile(const QString& path) {
    return targetKind(path) == EntryKind::File;
}

// A file or folder the user made read-only (its permission bits say so,
// which counts for root too) or that this user cannot write.
bool isWriteProtected(const QString& path);

inline constexpr std::int64_t anySize = std::numeric_limits<std::int64_t>::max();

// The whole content of a regular file (links followed). A device, FIFO,
// socket or folder is refused at once, and so is a file over maxBytes.
// Throws FileError: "Cannot open file "<name>". <reason>".
QByteArray readWholeFile(const QString& fileName, std::int64_t maxBytes = anySize);

// Makes one folder, or each missing folder of the path with `parents`.
// A folder that is there already is fine. Throws FileError:
// "Cannot create folder "<name>". <reason>".
void makeFolder(const QString& path, bool parents = false);

// The names in a folder, "." and ".." left out; none when it cannot be read.
QStringList folderEntries(const QString& folder);

// Removes a file or a symbolic link (never what it points to); false with
// errno set when it could not be removed.
bool removeFile(const QString& path);
