#include "report/jpegencoder.h"

#include "report/pagepicture.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error through error_exit, which must not return.
// libjpeg is C, so a C++ exception thrown there would unwind C frames that
// were never meant to be unwound. error_exit longjmps back into
// runCompressor() instead, whose frame holds only trivially destructible
// objects, and the C++ caller turns the saved message into an exception.
struct JumpingErrorManager {
    jpeg_error_mgr pub; // first member: libjpeg sees only this part
    std::jmp_buf jumpBack;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpBackWithMessage(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jumpBack, 1);
}

// Everything libjpeg works on, plain data so that it may live across setjmp.
struct CompressionJob {
    jpeg_compress_struct compressor;
    JumpingErrorManager errors;
    const unsigned char* rgbPixels;
    qsizetype bytesPerLine;
    int width;
    int height;
    int quality;
    int dotsPerInch;
    unsigned char* output;
    unsigned long outputSize;
};

bool runCompressor(CompressionJob& job) {
    jpeg_compress_struct& c = job.compressor;
    c.err = jpeg_std_error(&job.errors.pub);
    job.errors.pub.error_exit = jumpBackWithMessage;
    if (setjmp(job.errors.jumpBack))
        return false;
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &job.output, &job.outputSize);
    c.image_width = static_cast<JDIMENSION>(job.width);
    c.image_height = static_cast<JDIMENSION>(job.height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, job.quality, TRUE);
    c.write_JFIF_header = TRUE;
    c.density_unit = 1; // dots per inch
    c.X_density = static_cast<UINT16>(job.dotsPerInch);
    c.Y_density = static_cast<UINT16>(job.dotsPerInch);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        // libjpeg only reads the rows it is given.
        JSAMPROW row =
            const_cast<unsigned char*>(job.rgbPixels + c.next_scanline * job.bytesPerLine);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    return true;
}

struct FreeWithFree {
    void operator()(unsigned char* p) const { std::free(p); }
};
using MallocBuffer = std::unique_ptr<unsigned char, FreeWithFree>;

// Destroys the compressor on every path, and owns the output buffer. The
// buffer is allocated up front at the size no JPEG of the image can exceed
// (libjpeg-turbo's own bound for 4:2:0), so libjpeg never has to replace
// it: a buffer it replaced mid-way would be lost if an error followed.
class Compression {
public:
    Compression(const QImage& rgb, int quality, int dotsPerInch) {
        job_.rgbPixels = rgb.constBits();
        job_.bytesPerLine = rgb.bytesPerLine();
        job_.width = rgb.width();
        job_.height = rgb.height();
        job_.quality = quality;
        job_.dotsPerInch = qBound(1, dotsPerInch, 65535);
        job_.outputSize = worstCaseSize(rgb.width(), rgb.height());
        buffer_.reset(static_cast<unsigned char*>(std::malloc(job_.outputSize)));
        if (!buffer_)
            throw JpegError(QStringLiteral("Not enough memory for the JPEG image."));
        job_.output = buffer_.get();
    }
    ~Compression() { jpeg_destroy_compress(&job_.compressor); }
    Compression(const Compression&) = delete;
    Compression& operator=(const Compression&) = delete;

    QByteArray run() {
        if (!runCompressor(job_))
            throw JpegError(QString::fromLocal8Bit(job_.errors.message));
        // Should libjpeg have outgrown the bound after all, the buffer is its.
        const MallocBuffer replaced(job_.output != buffer_.get() ? job_.output : nullptr);
        return QByteArray(reinterpret_cast<const char*>(job_.output),
                          static_cast<qsizetype>(job_.outputSize));
    }

private:
    static unsigned long worstCaseSize(int width, int height) {
        const auto padded = [](int n) {
            return static_cast<unsigned long>((qMax(n, 1) + 15) / 16 * 16);
        };
        return padded(width) * padded(height) * 3 + 2048;
    }

    CompressionJob job_{}; // zeroed, so destroying an uncreated compressor is harmless
    MallocBuffer buffer_;
};

int dotsPerInchOf(const QImage& image) {
    return qRound(image.dotsPerMeterX() * 0.0254);
}

} // namespace

QByteArray encodeJpeg(const QImage& image, int quality) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    return Compression(rgb, quality, dotsPerInchOf(image)).run();
}

QByteArray pagePictureJpeg(const PagePicture& picture) {
    return encodeJpeg(pagePictureImage(picture, pictureDotsPerInch));
}
