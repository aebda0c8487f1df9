#pragma once

#include <QFont>

// The font of the program's windows: a 9 point sans-serif user-interface
// font. Liberation Sans (metric-compatible with Arial) when it is installed,
// since the fixed layouts were measured with fonts of that width; otherwise
// the application's own font at 9 points.
QFont windowFont();
