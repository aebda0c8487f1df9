#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

// The one writer of every file the program and the tool write: test files,
// the options file, PDF files, web pages and their pictures.

// What happens to a symbolic link at a file's name.
enum class LinkHandling {
    Follow,  // its target gets the new content, as a desktop user expects
    Replace, // the link itself is replaced by the file; its target is untouched
};

struct FileContent {
    QString fileName;
    QByteArray bytes;
};

// The system calls that can fail once a file is being written; null means
// the system's own. Tests replace one to make that step fail.
struct WriterCalls {
    ssize_t (*write)(int, const void*, size_t) = nullptr;
    int (*fsync)(int) = nullptr;
    int (*rename)(const char*, const char*) = nullptr;
};

// Writes every file under a temporary name beside it, each written, synced
// and closed without error, and only then renames them over their names, so
// a set (a report's pages and pictures) is replaced as a whole. A failure at
// any step, at any size, leaves every old file byte for byte and no
// temporary file. A replaced file keeps its permissions; a write-protected
// file or a folder at a name is refused. Throws FileError:
// "Cannot create file "<name>". <the system's reason>".
void writeFileSet(const QList<FileContent>& files, LinkHandling links,
                  const WriterCalls& calls = {});

inline void writeWholeFile(const QString& fileName, const QByteArray& bytes,
                           LinkHandling links = LinkHandling::Follow) {
    writeFileSet({{fileName, bytes}}, links);
}
