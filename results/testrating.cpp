#include "results/testrating.h"

#include "hydraulics/numbertext.h"
#include "report/reportdata.h"

HydrantRating testRating(const TestRecord& record, UnitSystem units, QChar decimalSeparator) {
    return rateHydrant(readNumber(record.staticPressure, decimalSeparator),
                       readNumber(record.residualPressure, decimalSeparator),
                       totalFlow(record, decimalSeparator), units);
}
