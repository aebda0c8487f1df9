#pragma once

#include "document/testrecord.h"
#include "hydraulics/settings.h"

#include <QByteArray>
#include <QChar>
#include <QString>

// A summary of many tests as one CSV table (RFC 4180, UTF-8, every line
// ended by CR LF): the header, then one row per test. Numbers are read with
// either decimal separator and written with full stops, as CSV readers
// expect; a value that cannot be computed leaves its cell empty. The last
// column names the units the row's numbers are in.
QByteArray csvHeader();
QByteArray csvRow(const TestRecord& record, const Settings& settings, const QString& path,
                  QChar decimalSeparator);
