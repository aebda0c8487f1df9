#pragma once

#include <QString>

#include <array>

// The three unit systems. Changing the system relabels values; it never
// converts them.
enum class UnitSystem {
    US,        // gpm, ft, in, psi
    MetricBar, // lpm, m, mm, bar
    MetricKPa, // lpm, m, mm, kPa
};

inline constexpr std::array<UnitSystem, 3> unitSystems{UnitSystem::US, UnitSystem::MetricBar,
                                                       UnitSystem::MetricKPa};

// Every text that names a unit system or one of its units: the report's
// units, the grid's titles, the options file's keyword and the tool's name.
struct UnitTexts {
    QString length;   // "ft", "m"
    QString flow;     // "gpm", "lpm"
    QString pressure; // "psi", "bar", "kPa"
    QString size;     // "in", "mm"
    QString keyword;  // in the options file: "PSI", "BAR", "KPA"
    QString name;     // flowtest-report's --units and CSV: "us", "bar", "kpa"
};

const UnitTexts& unitTexts(UnitSystem units);
