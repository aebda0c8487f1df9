#include "report/jpegencoder.h"

#include "report/pagepicture.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include <jpeglib.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

// How the bytes of a pixel lie in memory, as libjpeg names it.
struct PixelLayout {
    J_COLOR_SPACE colorSpace;
    int bytesPerPixel;
};

constexpr PixelLayout rgb888Layout{JCS_RGB, 3};

// Everything libjpeg works on, plain data so that it may live across setjmp.
struct CompressionJob {
    jpeg_compress_struct compressor;
    JumpingErrorManager errors;
    JSAMPARRAY rows; // one pointer per row, top to bottom
    PixelLayout layout;
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
    c.input_components = job.layout.bytesPerPixel;
    c.in_color_space = job.layout.colorSpace;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, job.quality, TRUE);
    c.write_JFIF_header = TRUE;
    c.density_unit = 1; // dots per inch
    c.X_density = static_cast<UINT16>(job.dotsPerInch);
    c.Y_density = static_cast<UINT16>(job.dotsPerInch);
    jpeg_start_compress(&c, TRUE);
    // The destination grows as needed, so libjpeg never stops short of the last row.
    while (c.next_scanline < c.image_height)
        jpeg_write_scanlines(&c, job.rows + c.next_scanline, c.image_height - c.next_scanline);
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
    // `image` is read where it lies, as `layout` describes its pixels.
    Compression(const QImage& image, PixelLayout layout, int quality, int dotsPerInch)
        : rows_(rowPointers(image)) {
        job_.rows = rows_.data();
        job_.layout = layout;
        job_.width = image.width();
        job_.height = image.height();
        job_.quality = quality;
        job_.dotsPerInch = qBound(1, dotsPerInch, 65535);
        job_.outputSize = worstCaseSize(image.width(), image.height());
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
    // libjpeg takes rows as non-const pointers but only reads them.
    static std::vector<JSAMPROW> rowPointers(const QImage& image) {
        std::vector<JSAMPROW> rows(static_cast<size_t>(image.height()));
        for (int y = 0; y < image.height(); ++y)
            rows[static_cast<size_t>(y)] = const_cast<JSAMPROW>(image.constScanLine(y));
        return rows;
    }

    static unsigned long worstCaseSize(int width, int height) {
        const auto padded = [](int n) {
            return static_cast<unsigned long>((qMax(n, 1) + 15) / 16 * 16);
        };
        return padded(width) * padded(height) * 3 + 2048;
    }

    std::vector<JSAMPROW> rows_;
    CompressionJob job_{}; // zeroed, so destroying an uncreated compressor is harmless
    MallocBuffer buffer_;
};

// The formats libjpeg reads as they are, so that no converted copy of a
// picture of several megabytes is made. Premultiplied formats are not among
// them: their colours are stored darkened by the alpha.
std::optional<PixelLayout> directLayoutOf(QImage::Format format) {
    switch (format) {
    case QImage::Format_RGB888:
        return rgb888Layout;
#ifdef JCS_EXTENSIONS
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        // One 32-bit word 0xAARRGGBB a pixel, in the processor's byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        return PixelLayout{JCS_EXT_BGRX, 4};
#else
        return PixelLayout{JCS_EXT_XRGB, 4};
#endif
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        return PixelLayout{JCS_EXT_RGBX, 4};
    case QImage::Format_BGR888:
        return PixelLayout{JCS_EXT_BGR, 3};
#endif
    default:
        return std::nullopt;
    }
}

int dotsPerInchOf(const QImage& image) {
    return qRound(image.dotsPerMeterX() * 0.0254);
}

} // namespace

QByteArray encodeJpeg(const QImage& image, int quality) {
    if (const auto layout = directLayoutOf(image.format()))
        return Compression(image, *layout, quality, dotsPerInchOf(image)).run();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    return Compression(rgb, rgb888Layout, quality, dotsPerInchOf(image)).run();
}

QByteArray pagePictureJpeg(const PagePicture& picture) {
    return encodeJpeg(pagePictureImage(picture, pictureDotsPerInch));
}

void keepPictureBuffersMapped() {
#ifdef __GLIBC__
    constexpr int megabytes = 1 << 20;
    mallopt(M_MMAP_THRESHOLD, 64 * megabytes);
    mallopt(M_TRIM_THRESHOLD, 128 * megabytes);
#endif
}
