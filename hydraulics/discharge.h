#pragma once

#include "hydraulics/outletrow.h"
#include "hydraulics/units.h"

#include <QChar>
#include <QString>

#include <optional>

// The NFPA 291 outlet formula Q = K c d^2 sqrt(p), with K = 29.84 for U.S.
// units (gpm, in, psi), 0.666 for metric bar (lpm, mm, bar) and 0.0666 for
// metric kPa (lpm, mm, kPa). The metric constants are the rounded values
// printed in the standard, not conversions of 29.84.
//
// Both functions read Size, C and Pitot or Flow of the row and return the
// text that goes into an empty cell; empty text whenever the inputs do not
// read as numbers or the arithmetic fails. Evaluation is in long double.

// The formula itself: the flow of an outlet of size d and coefficient c at
// pitot pressure p.
long double outletFlow(long double d, long double c, long double p, UnitSystem units);

// The same as a whole number (half to even), as ComputeFlow writes it; none
// for a negative pitot or a flow beyond a 64-bit integer.
std::optional<long double> wholeOutletFlow(long double d, long double c, long double p,
                                           UnitSystem units);

// Flow as a whole number (half to even), e.g. 2.5 in, 0.9, 10 psi -> "531".
QString ComputeFlow(const OutletRow& row, UnitSystem units, QChar decimalSeparator);
QString ComputeFlow(const OutletRow& row, UnitSystem units);

// Pitot pressure as "0.#" (U.S., kPa) or "0.0##" (bar).
QString ComputePitot(const OutletRow& row, UnitSystem units, QChar decimalSeparator);
QString ComputePitot(const OutletRow& row, UnitSystem units);
