#pragma once

#include "document/testrecord.h"
#include "hydraulics/discharge.h"
#include "hydraulics/units.h"

#include <QList>
#include <QString>

// The example tests shipped in examples/: realistic values, each outlet's
// Flow cell filled as the grid fills it from Size, C and Pitot.
struct ExampleTest {
    QString fileName;
    UnitSystem units;
    TestRecord record;
};

inline OutletRow flowingOutlet(const QString& label, const QString& elev, const QString& size,
                               const QString& c, const QString& pitot, UnitSystem units) {
    OutletRow row;
    row[OutletRow::Label] = label;
    row[OutletRow::Elev] = elev;
    row[OutletRow::Size] = size;
    row[OutletRow::C] = c;
    row[OutletRow::Pitot] = pitot;
    row[OutletRow::Flow] = ComputeFlow(row, units, '.');
    return row;
}

inline ExampleTest usExample() {
    constexpr auto units = UnitSystem::US;
    TestRecord r;
    r.date = "5/16/2023";
    r.time = "9:40 AM";
    r.staticPressure = "72";
    r.residualPressure = "58";
    r.readElev = "412";
    r.location = {"Flowed: hydrant H-1187, 400 block of Oak Street",
                  "Read: hydrant H-1186, Oak Street and 5th Avenue"};
    r.notes = {"12 in cast iron main, looped.",
               "Three 2.5 in butts flowed via playpipes, pitot at each.", "",
               "Water department: R. Alvarez. Tested by: M. Chen."};
    r.outlets = {flowingOutlet("#1", "409", "2.5", "0.9", "18", units),
                 flowingOutlet("#2", "409", "2.5", "0.9", "15", units),
                 flowingOutlet("#3", "405", "2.5", "0.8", "12", units)};
    return {"us-three-outlets.oft", units, r};
}

inline ExampleTest barExample() {
    constexpr auto units = UnitSystem::MetricBar;
    TestRecord r;
    r.date = "2023-06-21";
    r.time = "14:15";
    r.staticPressure = "4.9";
    r.residualPressure = "3.8";
    r.readElev = "126.5";
    r.location = {"Industrial estate Nord, Lindenweg 12", "Read hydrant at the gate of unit 4"};
    r.notes = {"DN 150 ring main.", "Two 63.5 mm outlets flowed with a diffuser."};
    r.outlets = {flowingOutlet("#1", "125.8", "63.5", "0.9", "0.69", units),
                 flowingOutlet("#2", "125.8", "63.5", "0.9", "0.55", units)};
    return {"metric-bar.oft", units, r};
}

inline ExampleTest kpaExample() {
    constexpr auto units = UnitSystem::MetricKPa;
    TestRecord r;
    r.date = "2023-09-05";
    r.time = "07:30";
    r.staticPressure = "490";
    r.residualPressure = "380";
    r.readElev = "58";
    r.location = {"Harbour Road, opposite the ferry terminal"};
    r.notes = {"Annual test of the harbour main.", "Pumper outlet not used."};
    r.outlets = {flowingOutlet("#1", "57.2", "63.5", "0.9", "69", units),
                 flowingOutlet("#2", "57.2", "63.5", "0.9", "55", units)};
    return {"metric-kpa.oft", units, r};
}

inline QList<ExampleTest> exampleTests() {
    return {usExample(), barExample(), kpaExample()};
}
