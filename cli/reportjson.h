#pragma once

#include "document/testrecord.h"
#include "hydraulics/settings.h"

#include <QByteArray>
#include <QChar>
#include <QString>

// One JSON object on one line (no line break) describing a test as the
// window would show it after opening the file: its texts, the settings, the
// report's unit texts and total line, the numbers of its flow graph (null
// when the report would carry a blank picture) and, last, the hydrant's
// rating (each of its numbers null when it cannot be computed). `path` is the
// file name as given; numbers are read and formatted with the decimal separator.
QByteArray reportJsonLine(const TestRecord& record, const Settings& settings, const QString& path,
                          QChar decimalSeparator);
