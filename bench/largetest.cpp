// Measures opening, scrolling, saving and reopening a very large test in the
// real main window (offscreen): 100,000 outlet rows and a 10 MB notes text.
// Usage: largetest [folder]   (writes large.oft and large-saved.oft there)

#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "document/testfile.h"
#include "tests/largerecord.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

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
    std::printf("open: %lld ms\nscroll: %lld ms\nsave: %lld ms\nreopen: %lld ms\n", openMs, scrollMs,
                saveMs, reopenMs);
    std::printf("peak memory: %.0f MB (before opening: %.0f MB)\n", peakKilobytes() / 1024.0,
                before / 1024.0);
    std::printf("round trip: %s\n", same ? "identical" : "DIFFERENT");
    return same ? 0 : 1;
}
