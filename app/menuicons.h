#pragma once

#include <QIcon>

#include <functional>

class QStyle;

// The ten small menu pictures, by index: 0 open, 1 save, 2 print,
// 3 preview, 4 exit, 5 new, 6 options, 7 about, 8 mail, 9 web.
QIcon menuIcon(int index, const QStyle& style);
