#pragma once

#include "document/testrecord.h"

#include <QString>

// The title a print job carries in the printer queue, so that queued and
// printed-to-file reports of different tests can be told apart:
// "Hydrant Flow Test Report – 05/12/2026 – Main St & 3rd Ave". The date and
// the first non-blank line of the location are added when they hold text;
// runs of spaces and tabs become one space, and a very long location line
// is cut with "…".
QString printJobTitle(const QString& dateText, const QString& locationText);

// The same for a test: its date and location lines. The PDF and web pages
// of the report carry it as their title too.
QString printJobTitle(const TestRecord& test);

// The same for the water supply analysis page of a test:
// "Water Supply Analysis – 05/12/2026 – Main St & 3rd Ave".
QString analysisJobTitle(const TestRecord& test);
