#include "hydraulics/derivedcells.h"

#include "hydraulics/discharge.h"

namespace {

bool flowFollows(const OutletRow& before, const DerivedCells& derived, UnitSystem units,
                 QChar separator) {
    // A pitot computed from the flow makes the flow the input.
    if (derived.pitotFilled)
        return false;
    const QString& flow = before[OutletRow::Flow];
    if (flow.isEmpty())
        return derived.flowEmptied;
    return flow == ComputeFlow(before, units, separator);
}

} // namespace

OutletRow rowAfterEdit(const OutletRow& before, int column, const QString& text,
                       DerivedCells& derived, UnitSystem units, QChar decimalSeparator) {
    OutletRow after = before;
    after[column] = text;
    if (column != OutletRow::Size && column != OutletRow::C && column != OutletRow::Pitot &&
        column != OutletRow::Flow)
        return after;
    if (column == OutletRow::Flow)
        derived.flowEmptied = false; // typed: the user's
    else if (flowFollows(before, derived, units, decimalSeparator)) {
        after[OutletRow::Flow] = ComputeFlow(after, units, decimalSeparator);
        derived.flowEmptied = after[OutletRow::Flow].isEmpty();
    }
    if (column == OutletRow::Pitot)
        derived.pitotFilled = false; // typed: the user's from now on
    else if (derived.pitotFilled)
        after[OutletRow::Pitot] = ComputePitot(after, units, decimalSeparator);
    return after;
}
