#pragma once

#include "hydraulics/units.h"

#include <QString>

#include <optional>

// A hydrant's rating from its flow test: the flow its supply line gives at
// 20 psi residual, the NFPA 291 class of that flow (the colour of its caps)
// and the pressure drop of the test. Plain numbers in the test's own unit
// system; nothing is converted but for the class, which NFPA 291 states in gpm.

enum class NfpaClass {
    AA, // 1500 gpm or more: light blue
    A,  // 1000 to 1499 gpm: green
    B,  // 500 to 999 gpm: orange
    C,  // below 500 gpm: red
};

// The flow at residual pressure P on the supply line through the static
// pressure S at no flow and the residual pressure R at the test flow Q:
// Q ((S - P) / (S - R))^(1/1.85), the graph's own formula. None unless
// Q > 0, S > R, P < S and all are finite.
std::optional<double> flowAtResidualPressure(double S, double R, double Q, double P);

// 20 psi in the unit system's pressure unit: 20, 1.379 bar or 137.9 kPa.
double twentyPsi(UnitSystem units);

// What NFPA 291 says of each class: the least flow at 20 psi in gpm, its
// name, and the colour of the hydrant's caps (deep enough to stand out on a
// light window and to carry white text).
struct NfpaClassInfo {
    NfpaClass rating;
    double leastGpm;
    const char* name;          // "AA"
    const char* capColourName; // "light blue"
    unsigned capColour;        // 0xRRGGBB
};
const NfpaClassInfo& nfpaClassInfo(NfpaClass rating);

// The class of a flow in the unit system's flow unit (lpm counted as
// 1/3.785411784 gpm), compared unrounded.
NfpaClass nfpaClass(double flow, UnitSystem units);
QString nfpaClassName(NfpaClass rating); // "AA", "A", "B", "C"

// (S - R) / S x 100; none unless 0 <= R <= S, S > 0 and both finite.
std::optional<double> dropPercent(double S, double R);

struct HydrantRating {
    std::optional<double> flowAt20psi;
    std::optional<NfpaClass> nfpaClass;
    std::optional<double> dropPercent;
};

// The rating of a test whose static and residual pressures read as given
// (none when the text is not a number) and whose total flow is Q.
HydrantRating rateHydrant(std::optional<double> S, std::optional<double> R, double Q,
                          UnitSystem units);
