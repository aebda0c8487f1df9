#include "app/startupfolders.h"

#include "textfile/fileaccess.h"

#include <cerrno>
#include <sys/stat.h>

QString ioErrorText(int systemError) {
    // The classic texts for the file errors users know; the POSIX numbers
    // map onto them by meaning.
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("File access denied");
    default:
        return QStringLiteral("I/O error %1").arg(systemError);
    }
}

std::optional<QString> createMissingFolders(const QStringList& folders) {
    for (const QString& folder : folders) {
        if (targetKind(folder) == EntryKind::Folder)
            continue;
        if (::mkdir(nativeName(folder).constData(), 0777) != 0)
            return ioErrorText(errno);
    }
    return std::nullopt;
}
