#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a dialog goes over the centre of the main window, kept inside the
// desktop: halves divided as integers with the fraction dropped, negative
// positions clamped to 0, then moved back so the dialog's far edges end at
// the desktop's width and height. On a desktop smaller than the dialog its
// left or top edge therefore ends off screen. Sizes are outer (frame) sizes.
QPoint centeredOverForm(QSize dialog, const QRect& mainWindow, QSize desktop);

// Moves the dialog there, measured against the whole virtual desktop.
void CenterOverForm(QWidget& dialog, const QWidget& mainWindow);
