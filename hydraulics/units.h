#pragma once

// The three unit systems. Changing the system relabels values; it never
// converts them.
enum class UnitSystem {
    US,        // gpm, ft, in, psi
    MetricBar, // lpm, m, mm, bar
    MetricKPa, // lpm, m, mm, kPa
};
