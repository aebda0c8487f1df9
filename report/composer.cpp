#include "report/composer.h"

#include "report/dataconnection.h"
#include "report/pagepicture.h"
#include "report/textmetrics.h"

#include <QHash>

namespace {

// Lengths closer than this are equal: band heights add up in floating point.
constexpr double tolerance = 1e-6;
constexpr double ruleWidth = 1.0 / 96; // one pixel at 96 dots per inch

using FieldValues = QHash<QString, ColumnValue>;

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
        page_.items.append(TextRun{text, item.font, {left, baseline}, clip});
        if (item.underline) {
            const double y = baseline + metrics.underlinePosition(item.font);
            page_.items.append(
                RuleLine{{left, y}, {left + width, y}, metrics.underlineThickness(item.font)});
        }
    }

    void placeMemo(const QString& text, const ReportItem& item, const QRectF& box) {
        const TextMetrics& metrics = TextMetrics::arial();
        const double lineHeight = metrics.lineHeight(item.font);
        double top = box.top();
        for (const QString& line : wrapMemoText(text, box.width(), item.font)) {
            if (top + lineHeight > box.bottom() + tolerance)
                break; // lines that do not fit the box are left out
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

// Index of the last character of `text` from `start` that still fits `width`
// (at least one character, so every line makes progress).
qsizetype fittingLength(const QString& text, qsizetype start, double width,
                        const ReportFont& font) {
    const TextMetrics& metrics = TextMetrics::arial();
    qsizetype length = 1;
    while (start + length < text.size() &&
           metrics.width(text.mid(start, length + 1), font) <= width + tolerance)
        ++length;
    return length;
}

void wrapParagraph(const QString& paragraph, double width, const ReportFont& font,
                   QStringList& lines) {
    const TextMetrics& metrics = TextMetrics::arial();
    qsizetype start = 0;
    while (start < paragraph.size()) {
        // Take whole words (each with the spaces before it) while they fit.
        qsizetype end = start;
        qsizetype lineEnd = start;
        while (end < paragraph.size()) {
            qsizetype next = end;
            while (next < paragraph.size() && paragraph[next] == QLatin1Char(' '))
                ++next;
            while (next < paragraph.size() && paragraph[next] != QLatin1Char(' '))
                ++next;
            if (metrics.width(paragraph.mid(start, next - start), font) > width + tolerance)
                break;
            end = next;
            lineEnd = next;
        }
        if (lineEnd == start) {
            // Not even the first word fits: break it between characters.
            qsizetype wordStart = start;
            while (wordStart < paragraph.size() && paragraph[wordStart] == QLatin1Char(' '))
                ++wordStart;
            lineEnd = wordStart + fittingLength(paragraph, wordStart, width, font);
            lines.append(paragraph.mid(start, lineEnd - start));
        } else {
            lines.append(paragraph.mid(start, lineEnd - start));
        }
        // The spaces at a break belong to neither line.
        start = lineEnd;
        while (start < paragraph.size() && paragraph[start] == QLatin1Char(' '))
            ++start;
    }
}

} // namespace

QStringList wrapMemoText(const QString& text, double width, const ReportFont& font) {
    QStringList lines;
    if (text.isEmpty())
        return lines;
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragraph : normalised.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty())
            lines.append(QString());
        else
            wrapParagraph(paragraph, width, font, lines);
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
