#pragma once

#include "report/composedpage.h"

#include <QImage>
#include <QRectF>

class QPainter;

// Draws the picture so that its bounding rectangle fills `target` (in the
// painter's coordinates). Nothing is painted behind it.
void drawScaledPicture(QPainter& painter, const QPicture& picture, const QRectF& target);

// The picture of a page as a white raster image at the given resolution of
// its size on the page (the pixel size rounded to whole pixels).
QImage pagePictureImage(const PagePicture& picture, double dotsPerInch);

// True for a picture without extent: the report's blank picture, which
// prints nothing.
bool isBlankPicture(const QPicture& picture);
