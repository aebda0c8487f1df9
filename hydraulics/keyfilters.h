#pragma once

#include <QChar>

// Per-character filters of the number fields. Each looks at one typed
// character only (a second separator or an inner sign is not stopped: such
// text simply fails to read as a number where it is used). True keeps it.

// Signed: Backspace, Enter, Escape, '+', '-', digits, the decimal separator.
bool FilterRealKey(QChar typed, QChar decimalSeparator);
// Unsigned: Backspace, Enter, Escape, digits, the decimal separator.
bool FilterPosRealKey(QChar typed, QChar decimalSeparator);
