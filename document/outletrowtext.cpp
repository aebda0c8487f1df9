#include "document/outletrowtext.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr QChar quote = u'"';
constexpr QChar comma = u',';

bool isBlankOrControl(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool needsQuotes(const QString& cell) {
    for (const QChar c : cell)
        if (isBlankOrControl(c) || c == quote || c == comma)
            return true;
    return false;
}

QString quoted(const QString& cell) {
    return quote + QString(cell).replace(quote, QStringLiteral("\"\"")) + quote;
}

QString upToNul(const QString& value) {
    const qsizetype nul = value.indexOf(QChar(0));
    return nul < 0 ? value : value.left(nul);
}

// Walks a "Flow" value item by item, filling the row's cells in order.
class RowReader {
public:
    RowReader(const QString& value, int cellCount) : text_(upToNul(value)), cells_(cellCount) {}

    QStringList read() {
        skipBlanks();
        while (!atEnd()) {
            if (text_[pos_] == quote) {
                if (!readQuotedItem())
                    break;
            } else {
                readPlainItem();
            }
            // The empty item a final comma announces needs no storing: its cell
            // is already empty.
            skipBlanks();
            if (!atEnd() && text_[pos_] == comma) {
                ++pos_;
                skipBlanks();
            }
        }
        return cells_;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }

    void skipBlanks() {
        while (!atEnd() && isBlankOrControl(text_[pos_]))
            ++pos_;
    }

    void store(const QString& item) {
        if (column_ < cells_.size())
            cells_[column_] = item;
        ++column_;
    }

    void readPlainItem() {
        const qsizetype start = pos_;
        while (!atEnd() && text_[pos_] != comma && text_[pos_].unicode() > 32)
            ++pos_;
        store(text_.mid(start, pos_ - start));
    }

    // Returns false when the closing quote is missing: the row ends there.
    bool readQuotedItem() {
        QString item;
        ++pos_;
        while (!atEnd()) {
            const QChar c = text_[pos_];
            if (c == quote) {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == quote) {
                    item += quote;
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                store(item);
                return true;
            }
            item += c;
            ++pos_;
        }
        item.chop(1);
        store(item);
        return false;
    }

    const QString text_;
    qsizetype pos_ = 0;
    qsizetype column_ = 0;
    QStringList cells_;
};

} // namespace

QString encodeCells(const QStringList& cells) {
    QStringList items;
    for (const QString& cell : cells)
        items.append(needsQuotes(cell) ? quoted(cell) : cell);
    return items.join(comma);
}

QStringList decodeCells(const QString& value, int cellCount) {
    return RowReader(value, cellCount).read();
}

QString encodeOutletRow(const OutletRow& row) {
    return encodeCells(QStringList(row.cells.begin(), row.cells.end()));
}

OutletRow decodeOutletRow(const QString& value) {
    const QStringList cells = decodeCells(value, OutletRow::ColumnCount);
    OutletRow row;
    std::copy(cells.begin(), cells.end(), row.cells.begin());
    return row;
}
