#pragma once

class QWidget;

// Centres a window on its screen by its outer size: left = (screen width -
// window width) / 2 and top likewise, the halves taken as integers.
void centreOnScreen(QWidget& window);
