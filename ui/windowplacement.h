#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Centres a window on its screen by its outer size: left = (screen width -
// window width) / 2 and top likewise, the halves taken as integers.
void centreOnScreen(QWidget& window);

// Where a window of `size` goes beside an owner window whose outer frame is
// `owner`, on a screen whose free area is `available`: to the right of the
// owner where the screen has room, else to its left, else over it; level
// with the owner's top and kept on the screen.
QRect placeBeside(const QRect& owner, const QSize& size, const QRect& available);
