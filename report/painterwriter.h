#pragma once

#include "report/composedpage.h"

#include <QImage>

class QPainter;

// Draws a composed page with a QPainter whose device has `dotsPerInch`
// pixels to the inch, with the paper's top-left corner at the painter's
// origin: on the printer, in the preview, or into an image.
void paintPage(QPainter& painter, const ComposedPage& page, double dotsPerInch);

// The page on a white image of its full size at the given resolution.
QImage pageImage(const ComposedPage& page, double dotsPerInch);
