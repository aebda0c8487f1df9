#include "app/recoverykeeper.h"
#include "app/resultswindow.h"
#include "document/recovery.h"
#include "document/testfile.h"
#include "documenttesthelpers.h"
#include "options/windowstate.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>

#include <csignal>

// A typed test is never lost: its recovery is written while it has unsaved
// changes, removed once it has none, and offered at the next start; a
// signal or the session's end writes it at once. The program itself runs
// as a child where it must end.
class RecoveryWindowTest : public QObject, WindowFixture {
    Q_OBJECT
private slots:
    void init() { startWindow(); }
    void cleanup();

    void writtenWhileUnsavedAndRemovedWhenNotNeeded();
    void offeredAtStart_data();
    void offeredAtStart();
    void namedFileIsOfferedOnlyItsOwn();
    void aFailedWriteIsToldNotShown();
    void theSessionsEndAsksNothing();
    void killedOrEndedProgramsLeaveTheirTest();

private:
    QString recoveries() const { return WindowState::recoveryFolder(); }
    QStringList recoveryTests() const {
        return QDir(recoveries()).entryList({"*.oft"}, QDir::Files);
    }
    void type(const char* text) { QTest::keyClicks(&field<QLineEdit>("eTime"), text); }
    // A recovery of a program that ended, of `belongsTo` (empty: a new test).
    void endedRecovery(const QString& time, const QString& belongsTo) const {
        TestRecord test;
        test.time = time;
        RecoveryFile(RecoveryLock::claimNew(recoveries()))
            .write({testFileBytes(test), belongsTo, QDateTime::currentDateTime()});
    }
    static std::unique_ptr<ScriptedPrompts> answering(bool yes, bool escape) {
        auto answers = std::make_unique<ScriptedPrompts>();
        answers->yesNoAnswers.enqueue(yes);
        answers->escapes = escape ? 1 : 0;
        return answers;
    }
    // The program as a child on this options folder, opening `file`.
    std::unique_ptr<QProcess> startProgram(const QString& file) {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program->setProcessEnvironment(environment);
        program->start(FLOWTEST_WINDOW_PROGRAM, {file});
        [&] { QVERIFY(program->waitForStarted()); }();
        return program;
    }

    std::vector<std::unique_ptr<QProcess>> children_;
};

void RecoveryWindowTest::cleanup() {
    for (const auto& child : children_) {
        child->kill();
        child->waitForFinished();
    }
    children_.clear();
    stopWindow();
}

void RecoveryWindowTest::writtenWhileUnsavedAndRemovedWhenNotNeeded() {
    QVERIFY(recoveryTests().isEmpty());
    const auto written = [this] {
        type("1");
        QTRY_COMPARE_WITH_TIMEOUT(recoveryTests().size(), 1, 3 * RecoveryKeeper::delayMs);
        QCOMPARE(fileBytes(QDir(recoveries()).filePath(recoveryTests()[0])),
                 testFileBytes(window_->testRecord()));
    };
    written();
    prompts().saveAnswers.enqueue(file("saved.oft"));
    QVERIFY(window_->SaveClick());
    QVERIFY(recoveryTests().isEmpty());
    written();
    window_->NewClick(); // "No": the changes are given up
    QVERIFY(recoveryTests().isEmpty());
    written();
    QVERIFY(window_->close()); // "No" again
    QVERIFY(recoveryTests().isEmpty());
}

void RecoveryWindowTest::offeredAtStart_data() {
    QTest::addColumn<int>("answer"); // 0 Yes, 1 No, 2 Escape
    QTest::addColumn<bool>("recovered");
    QTest::addColumn<bool>("kept");
    QTest::newRow("Yes: in the window, unsaved") << 0 << true << true;
    QTest::newRow("No: removed") << 1 << false << false;
    QTest::newRow("Escape: kept for the next start") << 2 << false << true;
}

void RecoveryWindowTest::offeredAtStart() {
    QFETCH(int, answer);
    QFETCH(bool, recovered);
    QFETCH(bool, kept);
    QVERIFY(window_->close());
    endedRecovery("old", {});
    endedRecovery("10:30", file("oak.oft"));
    restartWindow({}, answering(answer == 0, answer == 2));
    const ScriptedPrompts& asked = prompts();
    QCOMPARE(asked.questions.size(), 1); // the newest only
    QVERIFY2(asked.questions[0].startsWith("The program ended before the test \"oak.oft\" was "
                                           "saved. Its last changes from "),
             qPrintable(asked.questions[0]));
    QVERIFY(asked.questions[0].endsWith(" can be recovered. Recover them?"));
    QCOMPARE(field<QLineEdit>("eTime").text(), recovered ? QString("10:30") : QString());
    QCOMPARE(window_->isModified(), recovered);
    QCOMPARE(recoveryTests().size(), kept ? 2 : 1);
    if (recovered) {
        window_->SaveClick(); // offers the file it belongs to, where it is
        QCOMPARE(asked.saveRequests.value(0).initialName, QString("oak.oft"));
        QCOMPARE(asked.saveRequests.value(0).startFolder, dir_->path());
    }
}

void RecoveryWindowTest::namedFileIsOfferedOnlyItsOwn() {
    QVERIFY(window_->close());
    endedRecovery("new", {});
    writeTestFile(file("oak.oft"), Record().time("on disk"));
    writeTestFile(file("elm.oft"), Record().time("elm"));
    endedRecovery("recovered", file("oak.oft"));
    for (const QString named : {"elm.oft", "oak.oft"}) {
        restartWindow({file(named)}, answering(true, false));
        QCOMPARE(prompts().questions.size(), named == "oak.oft" ? 1 : 0);
        QCOMPARE(field<QLineEdit>("eTime").text(), named == "oak.oft" ? "recovered" : "elm");
    }
}

void RecoveryWindowTest::aFailedWriteIsToldNotShown() {
    QVERIFY(window_->close());
    // Nothing can be made where the recovery folder should be.
    QDir(recoveries()).removeRecursively();
    QFile blocker(recoveries());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    restartWindow();
    type("1");
    window_->ResultsClick();
    QTRY_VERIFY(window_->resultsWindow()
                    .findChild<QLabel*>("messages")
                    ->text()
                    .contains("The recovery file cannot be written: "));
    QVERIFY(prompts().errors.isEmpty());
}

void RecoveryWindowTest::theSessionsEndAsksNothing() {
    type("1");
    window_->commitSessionData(); // the session manager asks for the data
    QCOMPARE(recoveryTests().size(), 1);
    QVERIFY(window_->close());
    QVERIFY(prompts().questions.isEmpty());
    QCOMPARE(recoveryTests().size(), 1); // for the next start
}

void RecoveryWindowTest::killedOrEndedProgramsLeaveTheirTest() {
    QVERIFY(window_->close());
    // A file without outlets: opening it is a change, as the window adds one.
    writeTestFile(file("killed.oft"), Record().time("killed"));
    writeTestFile(file("ended.oft"), Record().time("ended"));
    children_.push_back(startProgram(file("killed.oft")));
    children_.push_back(startProgram(file("ended.oft")));
    QTRY_COMPARE_WITH_TIMEOUT(recoveryTests().size(), 2, 5 * RecoveryKeeper::delayMs);
    ::kill(static_cast<pid_t>(children_[0]->processId()), SIGKILL);
    QVERIFY(children_[0]->waitForFinished());

    // Only the killed program's test is offered; the other one still runs.
    restartWindow({}, answering(false, true));
    QCOMPARE(prompts().questions.size(), 1);
    QVERIFY(prompts().questions[0].contains("\"killed.oft\""));

    // A signal ends a program at once, its test kept, without a question.
    const auto locks = [this] { return QDir(recoveries()).entryList({"*.lock"}).size(); };
    const qsizetype before = locks();
    children_.push_back(startProgram(file("ended.oft")));
    QTRY_COMPARE(locks(), before + 1);
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(children_.back()->processId()), SIGTERM);
    QVERIFY(children_.back()->waitForFinished(5000));
    qInfo("ended %lld ms after SIGTERM", clock.elapsed());
    QCOMPARE(children_.back()->exitCode(), 0);
    QCOMPARE(recoveryTests().size(), 3);
}

QTEST_MAIN(RecoveryWindowTest)
#include "test_recoverywindow.moc"
