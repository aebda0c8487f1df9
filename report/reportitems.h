#pragma once

#include "report/reportdefinition.h"

#include <QList>
#include <QString>

// The items the program's reports are defined with, and what they share:
// the same fonts, the same test date and time line, the same footer.

inline constexpr ReportFont regular12{12, false};
inline constexpr ReportFont bold12{12, true};
inline constexpr ReportFont bold14{14, true};
inline constexpr bool underlined = true;

ReportItem fixedText(const char* name, const QString& text, double left, double top, double width,
                     ReportFont font, Alignment alignment, bool underline = false);
ReportItem dataText(const char* name, const char* field, double left, double top, double width,
                    ReportFont font, Alignment alignment, double cutWidth = 0);
ReportItem dataMemo(const char* name, const char* field, double left, double top, double width,
                    double height);
ReportItem pictureItem(const char* name, const char* field, double left, double top, double width,
                       double height);
ReportItem horizontalLine(const char* name, double left, double top, double width);

// "Test Date" and "Test Time" with the fields Date and Time, at the top of a
// band 6.5 in wide.
QList<ReportItem> testDateAndTime();

// "Created with the free hydrant flow test program from www..." under the region.
ReportItem programFooter();
