#include "document/recovery.h"
#include "document/testfile.h"
#include "faultfs.h"
#include "testsupport.h"
#include "textfile/fileaccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// Recovery files as the next start finds them: whole, the program's own,
// never a running program's, and a bad one put aside, never deleted.
class RecoveryFileTest : public QObject {
    Q_OBJECT
private slots:
    void init();

    void endedProgramsRecoveryIsFoundWhole();
    void runningProgramsRecoveryIsNeverTaken();
    void badRecoveriesArePutAside_data();
    void badRecoveriesArePutAside();
    void fullDiskKeepsTheOlderRecovery();

private:
    QString folder() const { return dir_->filePath("Recovery"); }
    // A recovery of a program that ended: its lock gone with it.
    QString endedRecovery(const RecoveryContent& content) const {
        const RecoveryFile file(RecoveryLock::claimNew(folder()));
        file.write(content);
        return file.lock().id();
    }

    std::optional<QTemporaryDir> dir_;
};

void RecoveryFileTest::init() {
    dir_.emplace();
}

void RecoveryFileTest::endedProgramsRecoveryIsFoundWhole() {
    TestRecord test;
    test.date = "5/16/2023";
    test.notes = {"Stra\u00dfe", "\u6771"}; // written as UTF-8
    test.outlets = {OutletRow{{"#1", "", "2.5", "0.9", "16", "671"}}};
    const QDateTime older = QDateTime::currentDateTime().addSecs(-60);
    // A name whose bytes are not UTF-8 comes back the same.
    const QString name = nameFromNative(QByteArray("/tests/oak\xe9.oft"));
    endedRecovery({"older", {}, older});
    endedRecovery({testFileBytes(test), name, older.addSecs(30)});

    const RecoveryScan scan = scanRecoveries(folder());
    QCOMPARE(scan.found.size(), size_t(2));
    QVERIFY(scan.unreadable.isEmpty());
    const RecoveryContent& newest = scan.found[0].content;
    QCOMPARE(newest.testBytes, testFileBytes(test));
    QCOMPARE(nativeName(newest.belongsTo), nativeName(name));
    QCOMPARE(newest.written.toMSecsSinceEpoch(), older.addSecs(30).toMSecsSinceEpoch());
    QCOMPARE(scan.found[1].content.testBytes, QByteArray("older"));
}

void RecoveryFileTest::runningProgramsRecoveryIsNeverTaken() {
    const RecoveryFile live(RecoveryLock::claimNew(folder()));
    live.write({"live", {}, QDateTime::currentDateTime()});
    endedRecovery({"ended", {}, QDateTime::currentDateTime()});
    const RecoveryScan scan = scanRecoveries(folder());
    QCOMPARE(scan.found.size(), size_t(1));
    QCOMPARE(scan.found[0].content.testBytes, QByteArray("ended"));
    // While it is offered, no other start takes it either.
    QCOMPARE(scanRecoveries(folder()).found.size(), size_t(0));
}

void RecoveryFileTest::badRecoveriesArePutAside_data() {
    QTest::addColumn<QString>("extension"); // what is spoilt
    QTest::addColumn<QByteArray>("bytes");  // its content; "folder", "link" or "gone" instead
    QTest::addColumn<QString>("reason");
    const QString noRecovery = "It is no recovery file of this version of the program.";
    QTest::newRow("empty description") << "ini" << QByteArray() << noRecovery;
    QTest::newRow("binary description") << "ini" << QByteArray("\0\xff\x01\r\n", 5) << noRecovery;
    QTest::newRow("newer version")
        << "ini" << QByteArray("Version = 2\r\nWritten = 2026-12-09T10:00:00Z\r\n") << noRecovery;
    QTest::newRow("folder at the test")
        << "oft" << QByteArray("folder") << "It is not a regular file.";
    QTest::newRow("link at the description")
        << "ini" << QByteArray("link") << "It is not a regular file.";
    QTest::newRow("test gone") << "oft" << QByteArray("gone") << "It is missing.";
}

void RecoveryFileTest::badRecoveriesArePutAside() {
    QFETCH(QString, extension);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString id = endedRecovery({"test", {}, QDateTime::currentDateTime()});
    const QString spoilt = QDir(folder()).filePath(id + '.' + extension);
    QFile::remove(spoilt);
    if (bytes == "folder")
        QVERIFY(QDir().mkdir(spoilt));
    else if (bytes == "link")
        QVERIFY(QFile::link(dir_->filePath("elsewhere"), spoilt));
    else if (bytes != "gone") {
        QFile file(spoilt);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

    const RecoveryScan scan = scanRecoveries(folder());
    QCOMPARE(scan.found.size(), size_t(0));
    QCOMPARE(scan.unreadable.size(), 1);
    QCOMPARE(scan.unreadable[0].reason, reason);
    QCOMPARE(scan.unreadable[0].fileName, spoilt);
    // Kept for the user in a folder of its own, and not offered again.
    const QDir aside(QDir(folder()).filePath("Unreadable"));
    if (bytes != "gone")
        QVERIFY(aside.exists(id + '.' + extension) ||
                QFileInfo(aside.filePath(id + '.' + extension)).isSymLink());
    QVERIFY(scan.unreadable[0].keptAs.startsWith(aside.path()));
    QVERIFY(scanRecoveries(folder()).unreadable.isEmpty());
}

void RecoveryFileTest::fullDiskKeepsTheOlderRecovery() {
    QVERIFY(QDir().mkpath(folder()));
    const TinyFileSystem device(folder(), "size=64k");
    if (!device.mounted())
        QSKIP("cannot mount a small file system here (needs root)");
    const RecoveryFile file(RecoveryLock::claimNew(folder()));
    file.write({"older", {}, QDateTime::currentDateTime()});
    QVERIFY(fillUp(QDir(folder()).filePath("filler")));
    QString reason;
    try {
        file.write({QByteArray(8192, 'n'), {}, QDateTime::currentDateTime()});
    } catch (const FileError& error) {
        reason = error.reason();
    }
    QCOMPARE(reason, QString("No space left on device"));
    QCOMPARE(fileBytes(file.lock().path("oft")), QByteArray("older"));
    // No temporary file is left behind.
    QStringList entries = folderEntries(folder());
    entries.sort();
    QCOMPARE(entries, (QStringList{file.lock().id() + ".ini", file.lock().id() + ".lock",
                                   file.lock().id() + ".oft", "filler"}));
}

QTEST_GUILESS_MAIN(RecoveryFileTest)
#include "test_recoveryfile.moc"
