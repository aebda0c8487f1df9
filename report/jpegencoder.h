#pragma once

#include "report/composedpage.h"
#include "textfile/textfile.h"

#include <QByteArray>
#include <QImage>

// An image libjpeg refused to encode, with libjpeg's own message.
class JpegError : public UserError {
public:
    using UserError::UserError;
};

// Pictures go into PDF and HTML files at this resolution of their size on the page.
inline constexpr int pictureDotsPerInch = 300;

// A baseline JFIF file of the image in RGB, with the image's resolution as
// its density in dots per inch. Images of 8-bit RGB with or without a
// fourth byte (RGB32, ARGB32, RGB888, ...) are read as they are; others are
// converted first, premultiplied ones with their alpha taken out. Throws
// JpegError.
QByteArray encodeJpeg(const QImage& image, int quality = 90);

// The picture drawn at pictureDotsPerInch on white, as a JPEG file.
QByteArray pagePictureJpeg(const PagePicture& picture);

// For a process that writes one report after another (flowtest-report): the
// picture and JPEG buffers of several megabytes each stay in the heap for the
// next report, rather than the C library mapping every one afresh and each
// report paying the page faults. Call it before other threads start.
void keepPictureBuffersMapped();
