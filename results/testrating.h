#pragma once

#include "document/testrecord.h"
#include "hydraulics/rating.h"
#include "hydraulics/units.h"

#include <QChar>

// The rating of a test as the window holds it: its static and residual
// pressures read with the decimal separator (a text that does not read rates
// nothing) and its total flow.
HydrantRating testRating(const TestRecord& record, UnitSystem units, QChar decimalSeparator);
