// Measures opening, scrolling, saving and reopening a very large test in the
// real main window (offscreen): 100,000 outlet rows and a 10 MB notes text.
// Usage: largetest [folder]   (writes large.oft and large-saved.oft there)

#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "app/recoverykeeper.h"
#include "app/resultswindow.h"
#include "document/testfile.h"
#include "largerecord.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

#include <cstdio>

namespace {

long peakKilobytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// A key typed into the current cell: the test has unsaved changes.
void typeKeyInto(FlowGrid& grid) {
    grid.setCurrentCell(OutletRow::Flow, 1);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
    QApplication::sendEvent(grid.cellEditor(), &press);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QString original = folder + "/large.oft";
    const QString saved = folder + "/large-saved.oft";
    writeTestFile(original, largeRecord(qEnvironmentVariableIsSet("LARGETEST_ONE_PARAGRAPH")));
    std::printf("file: %.1f MB\n", QFile(original).size() / 1e6);

    TFlowTest window;
    window.show();
    QApplication::processEvents();
    const long before = peakKilobytes();

    QElapsedTimer clock;
    clock.start();
    window.LoadTestFile(original);
    QApplication::processEvents();
    const qint64 openMs = clock.restart();

    auto* grid = window.findChild<FlowGrid*>("FlowGrid");
    grid->setCurrentCell(OutletRow::Flow, grid->outlets().rowCount());
    QApplication::processEvents();
    grid->setCurrentCell(OutletRow::Elev, 1);
    QApplication::processEvents();
    const qint64 scrollMs = clock.restart();

    window.SaveTestFile(saved);
    const qint64 saveMs = clock.restart();

    window.LoadTestFile(saved);
    QApplication::processEvents();
    const qint64 reopenMs = clock.restart();

    const bool same = QFile(original).size() == QFile(saved).size() &&
                      window.testRecord().outlets.size() == 100'000;

    // The results window on this test and on one of 10,000 outlets: what one
    // refresh holds the user interface thread for, and what a typed key costs.
    ResultsWindow& results = window.resultsWindow();
    const auto slowestRefreshMs = [&] {
        qint64 slowest = 0;
        for (int run = 0; run < 10; ++run) {
            clock.restart();
            results.refresh();
            slowest = std::max(slowest, clock.nsecsElapsed());
        }
        return slowest / 1e6;
    };
    results.show();
    QApplication::processEvents();
    const double refresh100kMs = slowestRefreshMs();
    grid->setOutletRows(window.testRecord().outlets.mid(0, 10'000));
    const double refresh10kMs = slowestRefreshMs();
    grid->setCurrentCell(OutletRow::Flow, 1);
    QApplication::processEvents();
    clock.restart();
    constexpr int keys = 200;
    for (int key = 0; key < keys; ++key) {
        const auto digit = Qt::Key(Qt::Key_1 + key % 9);
        QKeyEvent press(QEvent::KeyPress, digit, Qt::NoModifier, QString(QChar('1' + key % 9)));
        QApplication::sendEvent(grid->cellEditor(), &press);
    }
    const qint64 typingNs = clock.nsecsElapsed();
    QApplication::processEvents();

    // The recovery of this test: what the user-interface thread pays (the
    // snapshot; its bytes are made and synced on another thread), and the
    // whole write, as a signal makes it at once.
    const auto recoveryMs = [&](const TestRecord& test) {
        window.LoadTestFile(saved);
        if (test.outlets.size() < 100'000) {
            writeTestFile(folder + "/typical.oft", test);
            window.LoadTestFile(folder + "/typical.oft");
        }
        QApplication::processEvents();
        typeKeyInto(*grid);
        clock.restart();
        const std::optional<RecoverySnapshot> snapshot = window.recoverySnapshot();
        const double snapshotMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        window.recovery().writeNow();
        return std::pair{snapshotMs, clock.nsecsElapsed() / 1e6};
    };
    const auto [snapshot100kMs, write100kMs] = recoveryMs(window.testRecord());
    TestRecord typical = largeRecord();
    typical.notes = typical.notes.mid(0, 4);
    typical.outlets = typical.outlets.mid(0, 3);
    const auto [snapshot3Ms, write3Ms] = recoveryMs(typical);
    window.recovery().discard(); // a later run starts without a question
    std::printf("open: %lld ms\nscroll: %lld ms\nsave: %lld ms\nreopen: %lld ms\n", openMs, scrollMs,
                saveMs, reopenMs);
    std::printf("peak memory: %.0f MB (before opening: %.0f MB)\n", peakKilobytes() / 1024.0,
                before / 1024.0);
    std::printf("round trip: %s\n", same ? "identical" : "DIFFERENT");
    std::printf("slowest of 10 results refreshes: %.1f ms at 100,000 outlets, %.1f ms at 10,000; a "
                "typed key in a "
                "cell: %.2f ms\n",
                refresh100kMs, refresh10kMs, typingNs / 1e6 / keys);
    std::printf("recovery, on the user-interface thread: %.2f ms for this test, %.2f ms for a "
                "typical one (3 outlets, 4 notes lines); the whole write: %.0f ms and %.1f ms\n",
                snapshot100kMs, snapshot3Ms, write100kMs, write3Ms);
    return same ? 0 : 1;
}
