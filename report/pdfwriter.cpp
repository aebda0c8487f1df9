#include "report/pdfwriter.h"

#include "report/compositeglyphs.h"
#include "report/fallbackfonts.h"
#include "report/jpegencoder.h"
#include "report/pagepicture.h"
#include "textfile/textfile.h"
#include "ui/appinfo.h"

#include <QFile>
#include <QHash>

#include <array>
#include <hpdf.h>
#include <variant>

namespace {

constexpr double pointsPerInch = 72;
constexpr double letterHeightPoints = 11 * pointsPerInch;

double pdfX(double inches) {
    return inches * pointsPerInch;
}
double pdfY(double inchesFromTop) {
    return letterHeightPoints - inchesFromTop * pointsPerInch;
}

QString haruErrorText(HPDF_STATUS error) {
    switch (error) {
    case HPDF_FAILD_TO_ALLOC_MEM:
        return QStringLiteral("not enough memory");
    case HPDF_FILE_IO_ERROR:
    case HPDF_FILE_OPEN_ERROR:
        return QStringLiteral("a file could not be read");
    case HPDF_INVALID_JPEG_DATA:
    case HPDF_UNSUPPORTED_JPEG_FORMAT:
        return QStringLiteral("unusable picture data");
    case HPDF_TTF_CANNOT_EMBEDDING_FONT:
        return QStringLiteral("the font does not allow embedding");
    case HPDF_TTF_INVALID_CMAP:
    case HPDF_TTF_INVALID_FOMAT:
    case HPDF_TTF_MISSING_TABLE:
        return QStringLiteral("unusable font file");
    default:
        return QStringLiteral("error 0x%1").arg(error, 4, 16, QLatin1Char('0'));
    }
}

// One libharu document. libharu reports errors to a handler that is allowed
// to return (the failing call then returns an error code), so the handler
// only records the first error and check() throws it: no exception ever
// unwinds through libharu's C frames.
class HaruDocument {
public:
    HaruDocument() : doc_(HPDF_New(&HaruDocument::recordError, this)) {
        if (!doc_)
            throw PdfError(QStringLiteral("Cannot start a PDF document: not enough memory."));
    }
    ~HaruDocument() { HPDF_Free(doc_); }
    HaruDocument(const HaruDocument&) = delete;
    HaruDocument& operator=(const HaruDocument&) = delete;

    HPDF_Doc get() const { return doc_; }

    void check(const QString& step) const {
        if (error_ != HPDF_OK)
            throw PdfError(QStringLiteral("Cannot %1 in the PDF file: %2 (detail %3).")
                               .arg(step, haruErrorText(error_), QString::number(detail_)));
    }
    template <typename Handle> Handle checked(Handle handle, const QString& step) const {
        check(step);
        if (!handle)
            throw PdfError(QStringLiteral("Cannot %1 in the PDF file.").arg(step));
        return handle;
    }

    QByteArray contents() const {
        HPDF_SaveToStream(doc_);
        check(QStringLiteral("finish the document"));
        HPDF_UINT32 size = HPDF_GetStreamSize(doc_);
        QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
        HPDF_ReadFromStream(doc_, reinterpret_cast<HPDF_BYTE*>(bytes.data()), &size);
        check(QStringLiteral("read back the document"));
        bytes.truncate(static_cast<qsizetype>(size));
        return bytes;
    }

private:
    static void HPDF_STDCALL recordError(HPDF_STATUS error, HPDF_STATUS detail, void* self) {
        auto* doc = static_cast<HaruDocument*>(self);
        if (doc->error_ == HPDF_OK) {
            doc->error_ = error;
            doc->detail_ = detail;
        }
    }

    // Set before doc_: HPDF_New may already report an error.
    HPDF_STATUS error_ = HPDF_OK;
    HPDF_STATUS detail_ = 0;
    const HPDF_Doc doc_;
};

// The fonts of one document, each loaded once and only when first used, so
// a report of WinAnsi text embeds no font at all.
class PdfFonts {
public:
    explicit PdfFonts(const HaruDocument& doc) : doc_(doc) {}

    HPDF_Font helvetica(bool bold) {
        HPDF_Font& font = helvetica_[bold ? 1 : 0];
        if (!font)
            font = doc_.checked(
                HPDF_GetFont(doc_.get(), bold ? "Helvetica-Bold" : "Helvetica", "WinAnsiEncoding"),
                QStringLiteral("use Helvetica"));
        return font;
    }

    HPDF_Font embedded(const QString& fontFile) {
        auto loaded = embedded_.find(fontFile);
        if (loaded == embedded_.end())
            loaded = embedded_.insert(fontFile, loadTrueType(fontFile));
        return loaded->font;
    }

    // libharu 2.3.0 embeds the glyphs drawn plus the parts of composite
    // ones, but reads a part's glyph number as signed and looks one level
    // deep: parts numbered from 32768 up (most of a CJK font's) and parts of
    // parts are left out, and such characters print half drawn. Marks every
    // part as drawn; call once all text is on the pages.
    void includeGlyphParts() const {
        for (auto font = embedded_.cbegin(); font != embedded_.cend(); ++font) {
            const HPDF_FontDef definition =
                HPDF_Doc_FindFontDef(doc_.get(), font->name.constData());
            if (!definition || definition->type != HPDF_FONTDEF_TYPE_TRUETYPE)
                continue;
            const auto truetype = static_cast<HPDF_TTFontDefAttr>(definition->attr);
            const CompositeGlyphs glyphs(font.key());
            for (HPDF_UINT glyph = 0; glyph < truetype->num_glyphs; ++glyph)
                if (truetype->glyph_tbl.flgs[glyph])
                    for (const quint16 part : glyphs.partsOf(static_cast<quint16>(glyph)))
                        if (part < truetype->num_glyphs)
                            truetype->glyph_tbl.flgs[part] = 1;
        }
    }

private:
    struct EmbeddedFont {
        HPDF_Font font;
        QByteArray name;
    };

    EmbeddedFont loadTrueType(const QString& fontFile) {
        const QString step = QStringLiteral("embed the font \"%1\"").arg(fontFile);
        const QByteArray name = doc_.checked(
            HPDF_LoadTTFontFromFile(doc_.get(), QFile::encodeName(fontFile).constData(), HPDF_TRUE),
            step);
        return {doc_.checked(HPDF_GetFont(doc_.get(), name.constData(), "UTF-8"), step), name};
    }

    const HaruDocument& doc_;
    std::array<HPDF_Font, 2> helvetica_{};
    QHash<QString, EmbeddedFont> embedded_;
};

// A stretch of a text run drawn in one font; an empty font file means
// Helvetica.
struct FontSegment {
    QString text;
    QString fontFile;
};

// Characters that WinAnsi holds stay in Helvetica; each other one goes to
// the first fallback font that has it.
QList<FontSegment> fontSegments(const QString& text, bool bold) {
    if (fitsWindows1252(text))
        return {{text, QString()}};
    QList<FontSegment> segments;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        const QString fontFile = fitsWindows1252(character) ? QString() : fallbackFontFile(c, bold);
        if (segments.isEmpty() || segments.last().fontFile != fontFile)
            segments.append({QString(), fontFile});
        segments.last().text += character;
    }
    return segments;
}

// Helvetica's bytes. Only with no fallback font installed at all can a
// character be left that WinAnsi lacks; it becomes '?'.
QByteArray winAnsiBytes(QStringView text) {
    QString winAnsi = text.toString();
    for (QChar& c : winAnsi)
        if (!fitsWindows1252(QString(c)))
            c = QLatin1Char('?');
    return encodeFileText(winAnsi);
}

// libharu refuses a string of more than 65,535 bytes. The composer keeps
// text runs far shorter; a longer one is still drawn, piece by piece, each
// piece at most 3 bytes a code unit in UTF-8 and no surrogate pair split.
QList<QStringView> stringPieces(QStringView text) {
    constexpr qsizetype pieceLength = 16384;
    QList<QStringView> pieces;
    while (text.size() > pieceLength) {
        qsizetype length = pieceLength;
        if (text[length - 1].isHighSurrogate())
            --length;
        pieces.append(text.first(length));
        text = text.sliced(length);
    }
    pieces.append(text);
    return pieces;
}

class PdfPageWriter {
public:
    PdfPageWriter(const HaruDocument& doc, PdfFonts& fonts)
        : doc_(doc), fonts_(fonts),
          page_(doc.checked(HPDF_AddPage(doc.get()), QStringLiteral("add a page"))) {
        HPDF_Page_SetSize(page_, HPDF_PAGE_SIZE_LETTER, HPDF_PAGE_PORTRAIT);
        HPDF_Page_SetRGBStroke(page_, 0, 0, 0);
        HPDF_Page_SetRGBFill(page_, 0, 0, 0);
        HPDF_Page_SetLineCap(page_, HPDF_BUTT_END);
        doc_.check(QStringLiteral("add a page"));
    }

    void draw(const PageItem& item) {
        std::visit([this](const auto& drawable) { drawItem(drawable); }, item);
    }

private:
    void drawItem(const TextRun& run) {
        if (run.text.isEmpty())
            return;
        const bool clipped = !run.clip.isNull();
        if (clipped) {
            HPDF_Page_GSave(page_);
            HPDF_Page_Rectangle(page_, pdfX(run.clip.left()), pdfY(run.clip.bottom()),
                                run.clip.width() * pointsPerInch,
                                run.clip.height() * pointsPerInch);
            HPDF_Page_Clip(page_);
            HPDF_Page_EndPath(page_);
        }
        HPDF_Page_BeginText(page_);
        double x = pdfX(run.origin.x());
        const double y = pdfY(run.origin.y());
        for (const FontSegment& segment : fontSegments(run.text, run.font.bold)) {
            HPDF_Page_SetFontAndSize(page_, fontOf(segment, run.font.bold), run.font.pointSize);
            for (const QStringView piece : stringPieces(segment.text)) {
                const QByteArray bytes =
                    segment.fontFile.isEmpty() ? winAnsiBytes(piece) : piece.toUtf8();
                HPDF_Page_TextOut(page_, x, y, bytes.constData());
                x += HPDF_Page_TextWidth(page_, bytes.constData());
            }
        }
        HPDF_Page_EndText(page_);
        if (clipped)
            HPDF_Page_GRestore(page_);
        doc_.check(QStringLiteral("draw the text \"%1\"").arg(messageExcerpt(run.text)));
    }

    void drawItem(const RuleLine& line) {
        HPDF_Page_SetLineWidth(page_, line.width * pointsPerInch);
        HPDF_Page_MoveTo(page_, pdfX(line.from.x()), pdfY(line.from.y()));
        HPDF_Page_LineTo(page_, pdfX(line.to.x()), pdfY(line.to.y()));
        HPDF_Page_Stroke(page_);
        doc_.check(QStringLiteral("draw a line"));
    }

    void drawItem(const PagePicture& picture) {
        if (isBlankPicture(picture.picture))
            return;
        // Already JPEG: libharu stores these bytes as they are (DCTDecode).
        const QByteArray jpeg = pagePictureJpeg(picture);
        const HPDF_Image image =
            doc_.checked(HPDF_LoadJpegImageFromMem(
                             doc_.get(), reinterpret_cast<const HPDF_BYTE*>(jpeg.constData()),
                             static_cast<HPDF_UINT>(jpeg.size())),
                         QStringLiteral("add a picture"));
        const QRectF& r = picture.rect;
        HPDF_Page_DrawImage(page_, image, pdfX(r.left()), pdfY(r.bottom()),
                            r.width() * pointsPerInch, r.height() * pointsPerInch);
        doc_.check(QStringLiteral("draw a picture"));
    }

    HPDF_Font fontOf(const FontSegment& segment, bool bold) {
        return segment.fontFile.isEmpty() ? fonts_.helvetica(bold)
                                          : fonts_.embedded(segment.fontFile);
    }

    const HaruDocument& doc_;
    PdfFonts& fonts_;
    const HPDF_Page page_;
};

void describeDocument(const HaruDocument& doc, const QString& title) {
    const QByteArray creator = QByteArray("Ostrel Hydrant Flow Test (") + AppInfo::webAddress + ')';
    HPDF_SetInfoAttr(doc.get(), HPDF_INFO_KEYWORDS, "hydrant flow test");
    HPDF_SetInfoAttr(doc.get(), HPDF_INFO_CREATOR, creator.constData());
    // The embedded Unicode fonts take UTF-8 text; registering the encoder
    // writes nothing into a document that does not use it.
    HPDF_UseUTFEncodings(doc.get());
    if (!title.isEmpty()) {
        // Through the UTF-8 encoder libharu writes the title as UTF-16, so
        // a location in any script reads right in the viewer. Nothing else
        // uses the current encoder: every font names its own encoding.
        HPDF_SetCurrentEncoder(doc.get(), "UTF-8");
        QString text = title;
        text.replace(QChar(0), QChar(0xfffd)); // a C string ends at NUL
        HPDF_SetInfoAttr(doc.get(), HPDF_INFO_TITLE, text.toUtf8().constData());
    }
    // Content streams and embedded fonts deflated; the JPEG pictures keep
    // their own DCT coding only.
    HPDF_SetCompressionMode(doc.get(), HPDF_COMP_ALL);
    doc.check(QStringLiteral("describe the document"));
}

} // namespace

QByteArray pdfBytes(const ComposedReport& pages, const QString& title) {
    HaruDocument doc; // not const: libharu's error handler writes into it
    describeDocument(doc, title);
    PdfFonts fonts(doc);
    for (const ComposedPage& page : pages) {
        PdfPageWriter writer(doc, fonts);
        for (const PageItem& item : page.items)
            writer.draw(item);
    }
    fonts.includeGlyphParts();
    return doc.contents();
}

void writePdfFile(const QString& fileName, const ComposedReport& pages, const QString& title,
                  LinkHandling links) {
    writeWholeFile(fileName, pdfBytes(pages, title), links);
}
