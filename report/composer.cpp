#include "report/composer.h"

#include "report/dataconnection.h"
#include "report/pagepicture.h"
#include "report/textmetrics.h"

#include <QHash>

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

class PageBuilder {
public:
    explicit PageBuilder(ComposedPage& page) : page_(page) {}

    void placeItem(const ReportItem& item, QPointF origin, const FieldValues& fields) {
        const QRectF box = item.box.translated(origin);
        switch (item.kind) {
        case ItemKind::FixedText:
            placeText(item.text, item, box, false);
            break;
        case ItemKind::DataText:
            placeText(textField(fields, item.text), item, box, item.cutAtWidth);
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

    // One line of text at the top of `box`, aligned within its width.
    void placeText(const QString& text, const ReportItem& item, const QRectF& box, bool cut) {
        if (text.isEmpty())
            return;
        const TextMetrics& metrics = TextMetrics::arial();
        const double width = metrics.width(text, item.font);
        double left = box.left();
        if (item.alignment == Alignment::Right)
            left = box.right() - width;
        else if (item.alignment == Alignment::Centre)
            left = box.left() + (box.width() - width) / 2;
        const double baseline = box.top() + metrics.ascent(item.font);
        QRectF clip;
        if (cut && width > box.width() + tolerance)
            clip = QRectF(box.left(), box.top(), box.width(), metrics.lineHeight(item.font));
        TextRun run = shownPart({text, item.font, {left, baseline}, clip}, page_.size.width());
        if (!run.text.isEmpty())
            page_.items.append(std::move(run));
        if (item.underline) {
            const double y = baseline + metrics.underlinePosition(item.font);
            page_.items.append(
                RuleLine{{left, y}, {left + width, y}, metrics.underlineThickness(item.font)});
        }
    }

    void placeMemo(const QString& text, const ReportItem& item, const QRectF& box) {
        const double lineHeight = TextMetrics::arial().lineHeight(item.font);
        double top = box.top();
        for (const QString& line :
             wrapMemoText(text, box.width(), item.font, linesFitting(box, lineHeight))) {
            placeText(line, item, QRectF(box.left(), top, box.width(), lineHeight), true);
            top += lineHeight;
        }
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

void wrapParagraph(QStringView paragraph, double width, const ReportFont& font, qsizetype maxLines,
                   QStringList& lines) {
    const double limit = width + tolerance;
    qsizetype start = 0;
    while (start < paragraph.size() && lines.size() < maxLines) {
        qsizetype end = wholeWordsEnd(paragraph, start, limit, font);
        if (end == start) // not even the first word fits: break it between characters
            end = fittingEnd(paragraph, skipSpaces(paragraph, start), limit, font);
        lines.append(paragraph.sliced(start, end - start).toString());
        // The spaces at a break belong to neither line.
        start = skipSpaces(paragraph, end);
    }
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

} // namespace

QStringList wrapMemoText(QStringView text, double width, const ReportFont& font,
                         qsizetype maxLines) {
    QStringList lines;
    for (qsizetype start = text.isEmpty() ? -1 : 0; start >= 0 && lines.size() < maxLines;) {
        const auto [end, next] = paragraphEnd(text, start);
        if (end == start)
            lines.append(QString());
        else
            wrapParagraph(text.sliced(start, end - start), width, font, maxLines, lines);
        start = next;
    }
    return lines;
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

ComposedReport ReportComposer::compose(const ReportDefinition& report) {
    ComposedReport pages;
    const auto newPage = [&] {
        pages.append(ComposedPage{report.paperSize, {}});
        if (pageStarted_)
            pageStarted_(static_cast<int>(pages.size()));
        PageBuilder builder(pages.last());
        for (const ReportItem& item : report.pageItems)
            builder.placeItem(item, {0, 0}, {});
    };
    newPage();
    double top = report.region.top();
    const double bottom = report.region.bottom();
    for (const ReportBand& band : report.bands) {
        DataConnection* connection = connectionFor(band.dataView);
        if (!connection)
            continue;
        connection->open();
        const QList<ColumnDeclaration> columns = connection->columns();
        for (; !connection->atEnd(); connection->next()) {
            const FieldValues fields = fieldValues(columns, connection->row());
            // A band that does not fit moves to a new page, unless the page
            // is still empty (a band taller than the region has nowhere better).
            if (top + band.height > bottom + tolerance && top > report.region.top() + tolerance) {
                newPage();
                top = report.region.top();
                if (connection->rowIndex() > 0) { // the band's rows continue here
                    PageBuilder builder(pages.last());
                    for (const ReportItem& item : band.continuedHeader)
                        builder.placeItem(item, {report.region.left(), top}, {});
                    top += band.continuedHeaderHeight;
                }
            }
            PageBuilder builder(pages.last());
            for (const ReportItem& item : band.items)
                builder.placeItem(item, {report.region.left(), top}, fields);
            top += band.height;
        }
    }
    return pages;
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
