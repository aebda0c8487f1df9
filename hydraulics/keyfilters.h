#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Per-character filters of the number fields. Each looks at one typed
// character only (a second separator or an inner sign is not stopped: such
// text simply fails to read as a number where it is used). True keeps it.

// Signed: Backspace, Enter, Escape, '+', '-', digits, the decimal separator.
bool FilterRealKey(QChar typed, QChar decimalSeparator);
// Unsigned: Backspace, Enter, Escape, digits, the decimal separator.
bool FilterPosRealKey(QChar typed, QChar decimalSeparator);

using CharacterFilter = bool (*)(QChar typed, QChar decimalSeparator);

// A point or a comma stands for the user's decimal separator, so a number
// typed or pasted with the other one still reads as the user means it.
QChar asDecimalSeparator(QChar c, QChar decimalSeparator);

// What a number field keeps of pasted or dropped text: the printable
// characters that `filter` lets through, "72 psi" -> "72", "1,5" -> "1.5".
QString keptByFilter(QStringView text, CharacterFilter filter, QChar decimalSeparator);
