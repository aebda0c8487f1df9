#include "report/composer.h"

#include "report/dataconnection.h"
#include "report/pagepicture.h"
#include "report/textmetrics.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace {

// Lengths closer than this are equal: band heights add up in floating point.
constexpr double tolerance = 1e-6;
constexpr double ruleWidth = 1.0 / 96; // one pixel at 96 dots per inch
// How far beyond what shows the characters of a text are kept.
constexpr double hiddenMargin = 1.0;

using FieldValues = QHash<QString, ColumnValue>;

bool hasRightToLeft(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (code < 0x590) // no right-to-left script comes before Hebrew
            continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        switch (QChar::direction(code)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return true;
        default:
            break;
        }
    }
    return false;
}

// How many lines of `lineHeight` fit `box`, counted as they are placed.
qsizetype linesFitting(const QRectF& box, double lineHeight) {
    if (!(lineHeight > 0)) // a font without height: every line lands on the first
        return std::numeric_limits<qsizetype>::max();
    qsizetype count = 0;
    for (double top = box.top(); top + lineHeight <= box.bottom() + tolerance; top += lineHeight)
        ++count;
    return count;
}

// The end of at most longestTextRun characters from `from`, a surrogate
// pair kept whole.
qsizetype cappedEnd(QStringView text, qsizetype from) {
    if (text.size() - from <= longestTextRun)
        return text.size();
    const qsizetype end = from + longestTextRun;
    return text[end - 1].isHighSurrogate() ? end - 1 : end;
}

// The run without the characters that cannot show: those lying wholly
// beyond its clip or the paper's edge, by more than hiddenMargin so that no
// overhanging glyph or shaping context is lost. At most longestTextRun
// characters stay, even of zero-width characters.
TextRun shownPart(TextRun run, double paperWidth) {
    double shownLeft = 0;
    double shownRight = paperWidth;
    if (!run.clip.isNull()) {
        shownLeft = qMax(shownLeft, run.clip.left());
        shownRight = qMin(shownRight, run.clip.right());
    }
    // Right-to-left text shows in another order than it is stored: it is
    // only capped.
    qsizetype from = 0;
    qsizetype to = cappedEnd(run.text, 0);
    if (!hasRightToLeft(run.text)) {
        const double x = run.origin.x();
        TextWalker walker(run.text, run.font);
        while (walker.stepWithin(shownLeft - hiddenMargin - x)) {
        }
        // A tab jumps to a stop counted from where its run starts, so a run
        // with one keeps its start.
        if (!QStringView(run.text).sliced(walker.position()).contains(QLatin1Char('\t'))) {
            from = walker.position();
            run.origin.setX(x + walker.width());
        }
        const qsizetype last = cappedEnd(run.text, from);
        while (walker.position() < last && x + walker.width() < shownRight + hiddenMargin)
            walker.step();
        to = walker.position();
    }
    if (from > 0 || to < run.text.size())
        run.text = run.text.sliced(from, to - from);
    return run;
}

// Whether `text` is at most `width` inches wide, looking no further than that.
bool fitsWidth(QStringView text, double width, const ReportFont& font) {
    TextWalker walker(text, font);
    while (walker.stepWithin(width + tolerance)) {
    }
    return walker.atEnd();
}

// The longest beginning of `text` that an ellipsis still fits after within
// `width` inches, then the ellipsis; spaces before it are dropped.
QString elided(QStringView text, double width, const ReportFont& font) {
    const QString ellipsis(QChar(0x2026));
    TextWalker walker(text, font);
    while (walker.stepWithin(width + tolerance - TextMetrics::arial().width(ellipsis, font))) {
    }
    QStringView kept = text.first(walker.position());
    while (kept.endsWith(QLatin1Char(' ')))
        kept.chop(1);
    return kept.toString() + ellipsis;
}

// A data text is one line: its value up to the first line break.
QString firstLine(const QString& text) {
    const auto end = std::find_if(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    return end == text.cend() ? text : text.first(end - text.cbegin());
}

// Whether anything but white space stands in `text` from `position` on.
bool hasTextFrom(QStringView text, qsizetype position) {
    for (qsizetype i = position; i < text.size(); ++i)
        if (!text[i].isSpace())
            return true;
    return false;
}

// Memo lines, where each begins in the text, and where the text that they
// do not hold begins.
struct WrappedMemo {
    QStringList lines;
    QList<qsizetype> starts;
    qsizetype rest = 0;
};
WrappedMemo wrapMemo(QStringView text, double width, const ReportFont& font, qsizetype maxLines);

// The rule under `text` starting at `left`, at the font's own underline
// position and thickness. The position is the rule's top edge, so the rule
// lies wholly below the baseline; it stops short of descenders that cross
// it (ink in its lower half: round letters only dip into its top), by its
// thickness on either side, as browsers draw underlines.
QList<RuleLine> underline(QStringView text, double left, double baseline, const ReportFont& font) {
    const TextMetrics& metrics = TextMetrics::arial();
    const double thickness = metrics.underlineThickness(font);
    const double top = metrics.underlinePosition(font);
    const double y = baseline + top + thickness / 2;
    QList<RuleLine> pieces;
    double from = left;
    const auto descenders = metrics.inkSpans(text, font, top + thickness / 2, top + thickness);
    for (const auto& [inkLeft, inkRight] : descenders) {
        if (left + inkLeft - thickness > from)
            pieces.append(RuleLine{{from, y}, {left + inkLeft - thickness, y}, thickness});
        from = qMax(from, left + inkRight + thickness);
    }
    const double right = left + metrics.width(text, font);
    if (right > from)
        pieces.append(RuleLine{{from, y}, {right, y}, thickness});
    return pieces;
}

class PageBuilder {
public:
    // Told of each memo its box cuts short, with the memo's whole text.
    using MemoCut = std::function<void(const ReportItem& item, const QString& text)>;

    explicit PageBuilder(ComposedPage& page, MemoCut memoCut = {})
        : page_(page), memoCut_(std::move(memoCut)) {}

    void placeItem(const ReportItem& item, QPointF origin, const FieldValues& fields) {
        const QRectF box = item.box.translated(origin);
        switch (item.kind) {
        case ItemKind::FixedText:
            placeText(item.text, item, box, 0);
            break;
        case ItemKind::DataText:
            placeText(firstLine(textField(fields, item.text)), item, box,
                      item.cutWidth > 0 ? item.cutWidth : box.width());
            break;
        case ItemKind::DataMemo:
            placeMemo(QString::fromUtf8(blockField(fields, item.text)), item, box);
            break;
        case ItemKind::Picture:
            placePicture(blockField(fields, item.text), box);
            break;
        case ItemKind::HorizontalLine:
            page_.items.append(RuleLine{box.topLeft(), box.topRight(), ruleWidth});
            break;
        }
    }

    // Lines of text of `item`'s font one under another from `topLeft`, each
    // cut at `width`; returns where the next line would go.
    double placeLines(const QStringList& lines, const ReportItem& item, QPointF topLeft,
                      double width) {
        const double lineHeight = TextMetrics::arial().lineHeight(item.font);
        double top = topLeft.y();
        for (const QString& line : lines) {
            placeText(line, item, QRectF(topLeft.x(), top, width, lineHeight), width);
            top += lineHeight;
        }
        return top;
    }

private:
    static QString textField(const FieldValues& fields, const QString& name) {
        const auto value = fields.constFind(name);
        if (value == fields.cend())
            return {};
        if (const auto* text = std::get_if<QString>(&*value))
            return *text;
        return QString::fromUtf8(std::get<QByteArray>(*value));
    }

    static QByteArray blockField(const FieldValues& fields, const QString& name) {
        const auto value = fields.constFind(name);
        if (value == fields.cend())
            return {};
        if (const auto* bytes = std::get_if<QByteArray>(&*value))
            return *bytes;
        return std::get<QString>(*value).toUtf8();
    }

    // One line of text at the top of `box`, aligned within its width. A text
    // wider than `cutWidth` (0: never cut) keeps its beginning and ends with
    // an ellipsis at that width; nothing of it shows beyond.
    void placeText(const QString& text, const ReportItem& item, const QRectF& box,
                   double cutWidth) {
        if (text.isEmpty())
            return;
        const TextMetrics& metrics = TextMetrics::arial();
        QString shown = text;
        QRectF lineBox = box;
        QRectF clip;
        if (cutWidth > 0 && !fitsWidth(text, cutWidth, item.font)) {
            shown = elided(text, cutWidth, item.font);
            lineBox.setWidth(cutWidth);
            clip = QRectF(box.left(), box.top(), cutWidth, metrics.lineHeight(item.font));
        }
        const double width = metrics.width(shown, item.font);
        double left = lineBox.left();
        if (item.alignment == Alignment::Right)
            left = lineBox.right() - width;
        else if (item.alignment == Alignment::Centre)
            left = lineBox.left() + (lineBox.width() - width) / 2;
        const double baseline = box.top() + metrics.ascent(item.font);
        TextRun run = shownPart({shown, item.font, {left, baseline}, clip}, page_.size.width());
        if (!run.text.isEmpty())
            page_.items.append(std::move(run));
        if (item.underline)
            for (const RuleLine& piece : underline(shown, left, baseline, item.font))
                page_.items.append(piece);
    }

    void placeMemo(const QString& text, const ReportItem& item, const QRectF& box) {
        const double lineHeight = TextMetrics::arial().lineHeight(item.font);
        WrappedMemo memo = wrapMemo(text, box.width(), item.font, linesFitting(box, lineHeight));
        // A reader must see that the box could not hold all of the text.
        const bool cut = hasTextFrom(text, memo.rest);
        if (!memo.lines.isEmpty() && cut)
            memo.lines.last() = elided(memo.lines.last(), box.width(), item.font);
        placeLines(memo.lines, item, box.topLeft(), box.width());
        if (cut && memoCut_)
            memoCut_(item, text);
    }

    void placePicture(const QByteArray& bytes, const QRectF& box) {
        if (bytes.isEmpty())
            return;
        QPicture picture;
        picture.setData(bytes.constData(), static_cast<uint>(bytes.size()));
        if (isBlankPicture(picture))
            return;
        // The full width of the item; the height keeps the picture's proportions.
        const QRect bounds = picture.boundingRect();
        const double height = box.width() * bounds.height() / bounds.width();
        page_.items.append(
            PagePicture{QRectF(box.topLeft(), QSizeF(box.width(), height)), picture});
    }

    ComposedPage& page_;
    MemoCut memoCut_;
};

FieldValues fieldValues(const QList<ColumnDeclaration>& columns, const QList<ColumnValue>& row) {
    FieldValues fields;
    for (qsizetype i = 0; i < columns.size() && i < row.size(); ++i)
        fields.insert(columns[i].name, row[i]);
    return fields;
}

bool isSpace(QStringView text, qsizetype i) {
    return text[i] == QLatin1Char(' ');
}

qsizetype skipSpaces(QStringView text, qsizetype i) {
    while (i < text.size() && isSpace(text, i))
        ++i;
    return i;
}

// Where the whole words from `start` that fit `limit` inches end, each word
// with the spaces before it; `start` when not even the first one fits.
qsizetype wholeWordsEnd(QStringView paragraph, qsizetype start, double limit,
                        const ReportFont& font) {
    qsizetype end = start;
    TextWalker walker(paragraph, font, start);
    while (walker.stepWithin(limit)) {
        const qsizetype i = walker.position();
        if (i == paragraph.size() || (isSpace(paragraph, i) && !isSpace(paragraph, i - 1)))
            end = i;
    }
    return end;
}

// Where the characters from `start` that fit `limit` inches end: at least
// one character, so every line makes progress.
qsizetype fittingEnd(QStringView paragraph, qsizetype start, double limit, const ReportFont& font) {
    TextWalker walker(paragraph, font, start);
    walker.step();
    while (walker.stepWithin(limit)) {
    }
    return walker.position();
}

// Returns where in the paragraph the lines stopped (its size when whole).
// The paragraph begins at `offset` in the memo's text.
qsizetype wrapParagraph(QStringView paragraph, qsizetype offset, double width,
                        const ReportFont& font, qsizetype maxLines, WrappedMemo& memo) {
    const double limit = width + tolerance;
    qsizetype start = 0;
    while (start < paragraph.size() && memo.lines.size() < maxLines) {
        qsizetype end = wholeWordsEnd(paragraph, start, limit, font);
        if (end == start) // not even the first word fits: break it between characters
            end = fittingEnd(paragraph, start, limit, font);
        memo.lines.append(paragraph.sliced(start, end - start).toString());
        memo.starts.append(offset + start);
        // The spaces at a break belong to neither line.
        start = skipSpaces(paragraph, end);
    }
    return start;
}

// Where the paragraph from `start` ends, and where the next one begins.
std::pair<qsizetype, qsizetype> paragraphEnd(QStringView text, qsizetype start) {
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n'))
            return {i, i + 1};
        if (text[i] == QLatin1Char('\r'))
            return {i, i + 1 < text.size() && text[i + 1] == QLatin1Char('\n') ? i + 2 : i + 1};
    }
    return {text.size(), -1};
}

WrappedMemo wrapMemo(QStringView text, double width, const ReportFont& font, qsizetype maxLines) {
    WrappedMemo memo;
    qsizetype start = text.isEmpty() ? -1 : 0;
    while (start >= 0 && memo.lines.size() < maxLines) {
        const auto [end, next] = paragraphEnd(text, start);
        if (end == start) {
            memo.lines.append(QString());
            memo.starts.append(start);
        } else {
            const qsizetype stop = start + wrapParagraph(text.sliced(start, end - start), start,
                                                         width, font, maxLines, memo);
            if (stop < end) {
                memo.rest = stop;
                return memo;
            }
        }
        start = next;
    }
    memo.rest = start < 0 ? text.size() : start;
    return memo;
}

} // namespace

QStringList wrapMemoText(QStringView text, double width, const ReportFont& font,
                         qsizetype maxLines) {
    return wrapMemo(text, width, font, maxLines).lines;
}

ReportComposer::ReportComposer(const ReportProject& project, QList<DataConnection*> connections)
    : project_(project), connections_(std::move(connections)) {}

DataConnection* ReportComposer::connectionFor(const QString& dataView) const {
    const QString name = project_.connectionOf(dataView);
    for (DataConnection* connection : connections_)
        if (connection->name() == name)
            return connection;
    return nullptr;
}

namespace {

// One row of one band, read before anything is placed, so that pages can be
// broken with the rows that follow in view.
struct BandRow {
    const ReportBand* band;
    int rowIndex;
    FieldValues fields;

    // Whether the row, first on a page, continues its band from a page before.
    bool continuesBand() const { return rowIndex > 0; }
};

// Every row of every band, the data views read in band order, each
// connection opened when its first band is reached.
QList<BandRow> readBands(const ReportDefinition& report,
                         const std::function<DataConnection*(const QString&)>& connectionFor) {
    QList<BandRow> rows;
    for (const ReportBand& band : report.bands) {
        DataConnection* connection = connectionFor(band.dataView);
        if (!connection)
            continue;
        connection->open();
        const QList<ColumnDeclaration> columns = connection->columns();
        for (; !connection->atEnd(); connection->next())
            rows.append({&band, connection->rowIndex(), fieldValues(columns, connection->row())});
    }
    return rows;
}

FieldValues firstRowOf(const QString& dataView, const QList<BandRow>& rows) {
    for (const BandRow& row : rows)
        if (row.band->dataView == dataView)
            return row.fields;
    return {};
}

// A row's place in the report without its values: enough to break pages.
struct RowSlot {
    const ReportBand* band;
    int rowIndex;

    bool continuesBand() const { return rowIndex > 0; }
};

// Where each page begins: the index of its first band row.
template <typename Row>
QList<qsizetype> pageStarts(const ReportDefinition& report, const QList<Row>& rows) {
    const double continuedPageTop = report.continuedPageBand ? report.continuedPageBand->height : 0;
    QList<qsizetype> starts{0};
    double used = 0;
    for (qsizetype i = 0; i < rows.size();) {
        const ReportBand& band = *rows[i].band;
        if (i == starts.last()) {
            used = (starts.size() > 1 ? continuedPageTop : 0) +
                   (rows[i].continuesBand() ? band.continuedHeaderHeight : 0);
        } else if (used + band.height > report.region.height() + tolerance) {
            // A band that does not fit moves to a new page (unless the page
            // is still empty: a band taller than the region has nowhere
            // better), taking along the row it is kept with.
            const bool takeAlong =
                band.keepWithPrevious && i - 1 > starts.last() && rows[i - 1].band != &band;
            i = takeAlong ? i - 1 : i;
            starts.append(i);
            continue;
        }
        used += band.height;
        ++i;
    }
    return starts;
}

// Adds a page with the page items and, on a page after the first, the
// continued page band; returns where the bands begin on it.
double beginPage(ComposedReport& pages, const ReportDefinition& report,
                 const FieldValues& continuedPageFields) {
    pages.append(ComposedPage{report.paperSize, {}});
    PageBuilder builder(pages.last());
    for (const ReportItem& item : report.pageItems)
        builder.placeItem(item, {0, 0}, {});
    double top = report.region.top();
    if (pages.size() > 1 && report.continuedPageBand) {
        const ReportBand& band = *report.continuedPageBand;
        for (const ReportItem& item : band.items)
            builder.placeItem(item, {report.region.left(), top}, continuedPageFields);
        top += band.height;
    }
    return top;
}

// Lines of a text as typed from `from` on (a line begun before counts
// once); none when only white space is left.
qsizetype typedLinesFrom(QStringView text, qsizetype from) {
    if (!hasTextFrom(text, from))
        return 0;
    qsizetype lines = 1;
    for (qsizetype i = from; i < text.size(); ++i)
        if (text[i] == QLatin1Char('\n') ||
            (text[i] == QLatin1Char('\r') && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++lines;
    return lines;
}

// A memo that its box cut short.
struct CutMemo {
    const MemoContinuation::Memo* memo;
    ReportFont font;
    QString text; // whole
    int page;     // the page its box is on, from 1
};

// The pages after a report's last that print its cut memos whole.
class ContinuationLayout {
public:
    ContinuationLayout(const ReportDefinition& report, FieldValues continuedPageFields,
                       ComposedReport& pages, std::function<void(int)> pageStarted)
        : report_(report), continuation_(*report.memoContinuation),
          continuedPageFields_(std::move(continuedPageFields)), pages_(pages),
          pageStarted_(std::move(pageStarted)) {}

    QList<ContinuedMemo> layOut(const QList<CutMemo>& cuts) {
        QList<ContinuedMemo> result;
        startPage();
        ReportItem caption = continuation_.caption;
        caption.text = caption.text.arg(cuts.first().page);
        placeLine(caption);
        qsizetype notPrinted = 0;
        for (const CutMemo& cut : cuts) {
            ContinuedMemo continued{cut.memo->itemName, cut.page, 0, false};
            if (notPrinted == 0) {
                const qsizetype rest = layOutMemo(cut, continued);
                continued.whole = rest == 0 && continued.page > 0;
                notPrinted += rest;
            } else {
                notPrinted += typedLinesFrom(cut.text, 0);
            }
            result.append(continued);
        }
        if (notPrinted > 0) {
            ReportItem note = continuation_.notPrinted;
            if (notPrinted == 1)
                note.text = continuation_.notPrintedOneLine;
            else
                note.text = note.text.arg(notPrinted);
            placeLine(note);
        }
        return result;
    }

private:
    // Places the memo from where the last one ended; returns how many of
    // its lines as typed found no room.
    qsizetype layOutMemo(const CutMemo& cut, ContinuedMemo& continued) {
        const double lineHeight = TextMetrics::arial().lineHeight(cut.font);
        const double headingHeight = continuation_.heading.box.height();
        if (!roomFor(headingHeight + lineHeight) && !startPage())
            return typedLinesFrom(cut.text, 0);
        continued.page = pageNumber();
        placeHeading(cut.memo->heading);
        ReportItem item = continuation_.heading;
        item.font = cut.font;
        item.underline = false;
        const WrappedMemo memo = wrapMemo(cut.text, width(), cut.font, linesLeft(lineHeight));
        qsizetype placed = 0;
        while (placed < memo.lines.size()) {
            if (!roomFor(lineHeight)) {
                if (!startPage())
                    break;
                placeHeading(cut.memo->heading + continuation_.continued);
            }
            const qsizetype count =
                qMin(linesFitting(QRectF(0, top_, 1, bottom_ - top_), lineHeight),
                     memo.lines.size() - placed);
            top_ = PageBuilder(pages_.last())
                       .placeLines(memo.lines.mid(placed, count), item,
                                   {report_.region.left(), top_}, width());
            placed += count;
        }
        top_ += continuation_.gapAfter;
        return typedLinesFrom(cut.text,
                              placed < memo.lines.size() ? memo.starts[placed] : memo.rest);
    }

    bool startPage() {
        if (added_ == continuation_.maxPages)
            return false;
        top_ = beginPage(pages_, report_, continuedPageFields_);
        ++added_;
        if (pageStarted_)
            pageStarted_(pageNumber());
        // The last page keeps a line for what could not be printed.
        bottom_ = report_.region.bottom() -
                  (added_ == continuation_.maxPages ? continuation_.notPrinted.box.height() : 0);
        return true;
    }

    int pageNumber() const { return static_cast<int>(pages_.size()); }
    double width() const { return report_.region.width(); }
    bool roomFor(double height) const { return top_ + height <= bottom_ + tolerance; }

    // An upper bound of the lines of `lineHeight` the pages left can hold.
    qsizetype linesLeft(double lineHeight) const {
        const qsizetype perPage = static_cast<qsizetype>(report_.region.height() / lineHeight) + 1;
        return perPage * (continuation_.maxPages - added_ + 1);
    }

    void placeHeading(const QString& text) {
        ReportItem heading = continuation_.heading;
        heading.text = text;
        placeLine(heading);
    }

    // A fixed text on a line of its own, as high as its box.
    void placeLine(ReportItem item) {
        item.box.moveTopLeft({report_.region.left(), top_});
        PageBuilder(pages_.last()).placeItem(item, {0, 0}, {});
        top_ += item.box.height();
    }

    const ReportDefinition& report_;
    const MemoContinuation& continuation_;
    const FieldValues continuedPageFields_;
    ComposedReport& pages_;
    const std::function<void(int)> pageStarted_;
    int added_ = 0;
    double top_ = 0;
    double bottom_ = 0;
};

// The continuation's entry for a memo item; none when it has none.
const MemoContinuation::Memo* continuedMemo(const ReportDefinition& report,
                                            const QString& itemName) {
    if (!report.memoContinuation)
        return nullptr;
    for (const MemoContinuation::Memo& memo : report.memoContinuation->memos)
        if (memo.itemName == itemName)
            return &memo;
    return nullptr;
}

// The cut memos in the order the continuation prints them.
QList<CutMemo> inContinuationOrder(const MemoContinuation& continuation,
                                   const QHash<QString, CutMemo>& cuts) {
    QList<CutMemo> ordered;
    for (const MemoContinuation::Memo& memo : continuation.memos)
        if (const auto cut = cuts.constFind(memo.itemName); cut != cuts.cend())
            ordered.append(*cut);
    return ordered;
}

void numberPages(ComposedReport& pages, const ReportItem& pageNumber) {
    for (qsizetype k = 0; k < pages.size(); ++k) {
        ReportItem item = pageNumber;
        item.text = pageNumber.text.arg(k + 1).arg(pages.size());
        PageBuilder(pages[k]).placeItem(item, {0, 0}, {});
    }
}

} // namespace

ComposedReport ReportComposer::compose(const ReportDefinition& report) {
    const QList<BandRow> rows =
        readBands(report, [this](const QString& view) { return connectionFor(view); });
    const QList<qsizetype> starts = pageStarts(report, rows);
    const FieldValues continuedPageFields =
        report.continuedPageBand ? firstRowOf(report.continuedPageBand->dataView, rows)
                                 : FieldValues();
    QHash<QString, CutMemo> cuts;
    ComposedReport pages;
    for (qsizetype page = 0; page < starts.size(); ++page) {
        QPointF origin(report.region.left(), beginPage(pages, report, continuedPageFields));
        if (pageStarted_)
            pageStarted_(static_cast<int>(pages.size()));
        const auto memoCut = [&](const ReportItem& item, const QString& text) {
            const auto memo = continuedMemo(report, item.name);
            if (memo && !cuts.contains(item.name))
                cuts.insert(item.name, {memo, item.font, text, static_cast<int>(pages.size())});
        };
        PageBuilder builder(pages.last(), memoCut);
        const qsizetype end = page + 1 < starts.size() ? starts[page + 1] : rows.size();
        for (qsizetype i = starts[page]; i < end; ++i) {
            const ReportBand& band = *rows[i].band;
            if (i == starts[page] && rows[i].continuesBand()) {
                for (const ReportItem& item : band.continuedHeader)
                    builder.placeItem(item, origin, {});
                origin.ry() += band.continuedHeaderHeight;
            }
            for (const ReportItem& item : band.items)
                builder.placeItem(item, origin, rows[i].fields);
            origin.ry() += band.height;
        }
    }
    if (!cuts.isEmpty())
        ContinuationLayout(report, continuedPageFields, pages, pageStarted_)
            .layOut(inContinuationOrder(*report.memoContinuation, cuts));
    if (pages.size() > 1 && report.pageNumber)
        numberPages(pages, *report.pageNumber);
    return pages;
}

qsizetype memoBoxLines(const ReportItem& memo) {
    return linesFitting(memo.box, TextMetrics::arial().lineHeight(memo.font));
}

qsizetype memoLineCount(QStringView text, const ReportItem& memo, qsizetype limit) {
    return wrapMemo(text, memo.box.width(), memo.font, limit).lines.size();
}

QList<ContinuedMemo> continuedMemos(const ReportDefinition& report, const QList<int>& rowCounts,
                                    const QHash<QString, QString>& memoTexts) {
    if (!report.memoContinuation)
        return {};
    QList<RowSlot> places;
    QHash<const ReportBand*, qsizetype> firstPlace;
    for (qsizetype b = 0; b < report.bands.size() && b < rowCounts.size(); ++b) {
        firstPlace.insert(&report.bands[b], places.size());
        for (int row = 0; row < rowCounts[b]; ++row)
            places.append({&report.bands[b], row});
    }
    const QList<qsizetype> starts = pageStarts(report, places);
    QHash<QString, CutMemo> cuts;
    for (const ReportBand& band : report.bands) {
        if (!firstPlace.contains(&band) || firstPlace[&band] >= places.size())
            continue; // no row: none of its memos prints
        for (const ReportItem& item : band.items) {
            const MemoContinuation::Memo* memo = continuedMemo(report, item.name);
            if (!memo || item.kind != ItemKind::DataMemo)
                continue;
            const QString text = memoTexts.value(item.name);
            const WrappedMemo shown =
                wrapMemo(text, item.box.width(), item.font, memoBoxLines(item));
            if (!hasTextFrom(text, shown.rest))
                continue;
            const qsizetype page =
                std::upper_bound(starts.cbegin(), starts.cend(), firstPlace[&band]) -
                starts.cbegin();
            cuts.insert(item.name, {memo, item.font, text, static_cast<int>(page)});
        }
    }
    if (cuts.isEmpty())
        return {};
    // Laid out after as many blank pages as the report has, for their numbers.
    ComposedReport pages(starts.size());
    return ContinuationLayout(report, {}, pages, {})
        .layOut(inContinuationOrder(*report.memoContinuation, cuts));
}

const ReportDefinition* ReportProject::report(const QString& name) const {
    for (const ReportDefinition& definition : reports)
        if (definition.name == name)
            return &definition;
    return nullptr;
}

QString ReportProject::connectionOf(const QString& dataView) const {
    for (const ViewBinding& binding : views)
        if (binding.dataView == dataView)
            return binding.connection;
    return {};
}
