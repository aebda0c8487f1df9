#pragma once

#include "hydraulics/outletrow.h"
#include "hydraulics/units.h"

#include <QChar>
#include <QString>

// A Flow or Pitot cell that the program computed follows the values it was
// computed from, so a corrected pitot never leaves a stale flow behind. A
// value that differs from the formula's is the user's and is never touched.
//
// The Flow cell follows when its text is exactly what ComputeFlow gives for
// the row before an edit of Size, C or Pitot; that needs no memory, so it
// holds for a test just opened too. The Pitot cell follows only when the
// program filled it from the flow (ComputePitot rounds, so a typed pitot
// often matches the formula by chance).
struct DerivedCells {
    // The Pitot cell holds what ComputePitot gave, since the test was opened.
    bool pitotFilled = false;
    // The Flow cell followed into an empty result (a pitot deleted before it
    // is retyped) and follows on while it stays empty.
    bool flowEmptied = false;
};

// The row after the user set `column` to `text`, with the computed cells
// that follow; `derived` is updated to match.
OutletRow rowAfterEdit(const OutletRow& before, int column, const QString& text,
                       DerivedCells& derived, UnitSystem units, QChar decimalSeparator);
