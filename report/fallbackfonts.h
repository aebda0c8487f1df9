#pragma once

#include <QString>

// Unicode TrueType fonts of the distribution, for the characters that
// Helvetica's WinAnsi encoding cannot hold. Tried in this order: Liberation
// Sans (Arial's widths; Latin, Greek, Cyrillic), DejaVu Sans (more scripts),
// Droid Sans Fallback (Chinese, Japanese, Korean).
//
// The font file to draw the character in: the first installed one that has
// it, else the first installed one (the character shows as its empty box);
// empty only when none of them is installed.
QString fallbackFontFile(char32_t character, bool bold);
