#include "faultfs.h"
#include "textfile/fileaccess.h"
#include "textfile/filewriter.h"
#include "textfile/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

// The one writer of every file, made to fail at each step.

namespace {

ssize_t writeFails(int, const void*, size_t) {
    errno = ENOSPC;
    return -1;
}
int syncFails(int) {
    errno = EIO;
    return -1;
}
int renameFails(const char*, const char*) {
    errno = EACCES;
    return -1;
}
// Lets two renames through, then fails: the third file of a set.
int renameCount = 0;
int thirdRenameFails(const char* from, const char* to) {
    if (++renameCount == 3) {
        errno = EIO;
        return -1;
    }
    return ::rename(from, to);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

QString expectFileError(const std::function<void()>& write) {
    try {
        write();
    } catch (const FileError& error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class FileWriterTest : public QObject {
    Q_OBJECT
private slots:
    void failedStepKeepsOldFile_data();
    void failedStepKeepsOldFile();
    void setIsReplacedAsAWhole();
    void links_data();
    void links();
    void replacedFileKeepsItsPermissions();
    void namesOfAnyBytes();
};

void FileWriterTest::failedStepKeepsOldFile_data() {
    QTest::addColumn<WriterCalls>("calls");
    QTest::addColumn<bool>("sizeLimited");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("size");
    const struct {
        const char* step;
        WriterCalls calls;
        bool sizeLimited;
        const char* reason;
    } steps[] = {
        {"write", {writeFails, nullptr, nullptr}, false, "No space left on device"},
        {"sync", {nullptr, syncFails, nullptr}, false, "Input/output error"},
        {"rename", {nullptr, nullptr, renameFails}, false, "Permission denied"},
        {"file size limit", {}, true, "File too large"},
    };
    // Below and above the 16 KiB that a buffered writer keeps to itself.
    for (const auto& step : steps)
        for (const int size : {100, 40000})
            QTest::addRow("%s, %d bytes", step.step, size)
                << step.calls << step.sizeLimited << QString(step.reason) << size;
}

void FileWriterTest::failedStepKeepsOldFile() {
    QFETCH(WriterCalls, calls);
    QFETCH(bool, sizeLimited);
    QFETCH(QString, reason);
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString name = dir.filePath("old.txt");
    writeWholeFile(name, "old");
    const QString message = expectFileError([&] {
        std::optional<FileSizeLimit> limit;
        if (sizeLimited)
            limit.emplace(size / 2);
        writeFileSet({{name, QByteArray(size, 'n')}}, LinkHandling::Follow, calls);
    });
    QCOMPARE(message, QString("Cannot create file \"%1\". %2").arg(name, reason));
    QCOMPARE(contentOf(name), QByteArray("old"));
    QCOMPARE(everythingIn(dir.path()), QStringList{"old.txt"}); // no temporary file left
}

void FileWriterTest::setIsReplacedAsAWhole() {
    QTemporaryDir dir;
    const QString a = dir.filePath("a"), b = dir.filePath("b"), c = dir.filePath("c");
    writeWholeFile(b, "old b");
    writeWholeFile(c, "old c");
    renameCount = 0;
    const QString message = expectFileError([&] {
        writeFileSet({{a, "new a"}, {b, "new b"}, {c, "new c"}}, LinkHandling::Replace,
                     {nullptr, nullptr, thirdRenameFails});
    });
    QVERIFY2(message.startsWith(QString("Cannot create file \"%1\". ").arg(c)),
             qPrintable(message));
    // a was new and is gone again; b, already renamed, has its old content back.
    QCOMPARE(everythingIn(dir.path()), (QStringList{"b", "c"}));
    QCOMPARE(contentOf(b), QByteArray("old b"));
    QCOMPARE(contentOf(c), QByteArray("old c"));

    writeFileSet({{a, "new a"}, {b, "new b"}}, LinkHandling::Replace);
    QCOMPARE(contentOf(a) + contentOf(b), QByteArray("new anew b"));
    QCOMPARE(everythingIn(dir.path()), (QStringList{"a", "b", "c"}));
}

void FileWriterTest::links_data() {
    QTest::addColumn<LinkHandling>("links");
    QTest::addColumn<bool>("dangling");
    QTest::newRow("followed") << LinkHandling::Follow << false;
    QTest::newRow("followed, dangling") << LinkHandling::Follow << true;
    QTest::newRow("replaced") << LinkHandling::Replace << false;
    QTest::newRow("replaced, dangling") << LinkHandling::Replace << true;
}

void FileWriterTest::links() {
    QFETCH(LinkHandling, links);
    QFETCH(bool, dangling);
    QTemporaryDir dir;
    const QString target = dir.filePath("target.txt");
    if (!dangling)
        writeWholeFile(target, "target");
    QVERIFY(QFile::link("target.txt", dir.filePath("link.txt")));
    writeWholeFile(dir.filePath("link.txt"), "new", links);
    if (links == LinkHandling::Follow) {
        QCOMPARE(entryKind(dir.filePath("link.txt")), EntryKind::Link);
        QCOMPARE(contentOf(target), QByteArray("new"));
    } else {
        QCOMPARE(entryKind(dir.filePath("link.txt")), EntryKind::File);
        QCOMPARE(contentOf(dir.filePath("link.txt")), QByteArray("new"));
        QCOMPARE(entryKind(target), dangling ? EntryKind::Missing : EntryKind::File);
        if (!dangling)
            QCOMPARE(contentOf(target), QByteArray("target"));
    }
}

void FileWriterTest::replacedFileKeepsItsPermissions() {
    QTemporaryDir dir;
    const QString name = dir.filePath("private.oft");
    writeWholeFile(name, "old");
    QVERIFY(::chmod(QFile::encodeName(name).constData(), 0640) == 0);
    writeWholeFile(name, "new");
    struct stat status {};
    QVERIFY(::stat(QFile::encodeName(name).constData(), &status) == 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0640));
}

void FileWriterTest::namesOfAnyBytes() {
    const QByteArray latin1Name("caf\xE9 \xFF.oft");
    const QString name = nameFromNative(latin1Name);
    QCOMPARE(nativeName(name), latin1Name);
    QCOMPARE(nameFromNative(QByteArray("Stra\xC3\x9F"
                                       "e")),
             QString::fromUtf8("Straße"));
    QTemporaryDir dir;
    const QString path = nameFromNative(QFile::encodeName(dir.path())) + '/' + name;
    writeWholeFile(path, "bytes");
    QCOMPARE(readWholeFile(path), QByteArray("bytes"));
    QCOMPARE(folderEntries(nameFromNative(QFile::encodeName(dir.path()))), QStringList{name});
    QVERIFY(removeFile(path)); // Qt could not name it to remove it
}

QTEST_APPLESS_MAIN(FileWriterTest)
#include "test_filewriter.moc"
