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
// its density in dots per inch. Throws JpegError.
QByteArray encodeJpeg(const QImage& image, int quality = 90);

// The picture drawn at pictureDotsPerInch on white, as a JPEG file.
QByteArray pagePictureJpeg(const PagePicture& picture);
