// Times computeTestResults, which the results window runs after every edit:
// on the three-outlet example and on tests of 10,000 outlets whose rows are
// complete (every row runs the outlet formula), typed far from the formula
// (every row needs a look, the advice is capped) or missing their flow.
//
//   resultsbench

#include "document/testfile.h"
#include "hydraulics/discharge.h"
#include "results/testresults.h"
#include "textfile/fileaccess.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Outlets = 10'000;

// Best and median of the runs, in milliseconds.
void time(const char* what, const TestSnapshot& snapshot) {
    constexpr int runs = 50;
    std::vector<double> ms;
    qsizetype lines = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const TestResults results = computeTestResults(snapshot);
        ms.push_back(timer.nsecsElapsed() / 1e6);
        lines = results.stops.size() + results.advice.size();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s best %7.3f ms   median %7.3f ms   (%lld lines)\n", what, ms.front(),
                ms[ms.size() / 2], static_cast<long long>(lines));
}

// 2.5 in outlets at C 0.9 with pitot pressures of 10 to 29 psi; flowText
// gives each row's Flow cell from the formula's flow.
template <typename FlowText> TestSnapshot largeTest(FlowText flowText) {
    TestSnapshot snapshot;
    snapshot.test.staticPressure = QStringLiteral("72");
    snapshot.test.residualPressure = QStringLiteral("58");
    snapshot.test.outlets.reserve(Outlets);
    for (int i = 1; i <= Outlets; ++i) {
        OutletRow row;
        row[OutletRow::Label] = QStringLiteral("#%1").arg(i);
        row[OutletRow::Elev] = QStringLiteral("412");
        row[OutletRow::Size] = QStringLiteral("2.5");
        row[OutletRow::C] = QStringLiteral("0.9");
        row[OutletRow::Pitot] = QString::number(10 + i % 20);
        row[OutletRow::Flow] = flowText(ComputeFlow(row, UnitSystem::US).toInt());
        snapshot.test.outlets.append(row);
    }
    return snapshot;
}

} // namespace

int main() {
    TestSnapshot example;
    example.test =
        parseTestFile(readWholeFile(QStringLiteral(FLOWTEST_EXAMPLES_DIR "/us-three-outlets.oft")));
    time("three-outlet example", example);
    time("10,000 outlets, flows as computed",
         largeTest([](int flow) { return QString::number(flow); }));
    time("10,000 outlets, flows 10 % off (all advised)",
         largeTest([](int flow) { return QString::number(flow * 11 / 10); }));
    time("10,000 outlets, flows missing (all advised)", largeTest([](int) { return QString(); }));
    return 0;
}
