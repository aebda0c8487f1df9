#include "textfile/textfile.h"

#include "textfile/fileaccess.h"
#include "textfile/filewriter.h"

#include <array>

namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to the C1
// controls of the same value, as Windows itself does.
constexpr std::array<char16_t, 32> high1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const QByteArray utf8Mark("\xEF\xBB\xBF");

int windows1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < high1252.size(); ++i)
        if (high1252[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

bool isSeparator(QChar c) {
    return c == QChar(0) || c == '\n' || c == '\r' || c == ' ';
}

QString trimmedOfControls(const QString& word) {
    qsizetype begin = 0;
    qsizetype end = word.size();
    while (begin < end && word[begin].unicode() <= 32)
        ++begin;
    while (end > begin && word[end - 1].unicode() <= 32)
        --end;
    return word.mid(begin, end - begin);
}

} // namespace

QString messageExcerpt(const QString& text, qsizetype maxLength) {
    if (text.size() <= maxLength)
        return text;
    // Never split a surrogate pair.
    qsizetype cut = maxLength;
    if (cut > 0 && text[cut - 1].isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

bool fitsWindows1252(const QString& text) {
    for (const QChar c : text)
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    return true;
}

QString decodeFileText(const QByteArray& bytes) {
    if (bytes.startsWith(utf8Mark))
        return QString::fromUtf8(bytes.mid(utf8Mark.size()));
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? high1252[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray encodeFileText(const QString& text) {
    if (!fitsWindows1252(text))
        return utf8Mark + text.toUtf8();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<char>(windows1252Byte(text[i].unicode()));
    return bytes;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype end = text.indexOf(QChar(0));
    if (end < 0)
        end = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines.append(text.mid(start, i - start));
            i += (c == '\r' && i + 1 < end && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < end)
        lines.append(text.mid(start, end - start));
    return lines;
}

QStringList textFieldLines(const QString& fieldText) {
    // The same breaks as a file's lines: CR LF, CR or LF, no line after a final break.
    return splitLines(fieldText);
}

QString textFieldText(const QStringList& lines) {
    QString text = lines.join('\n');
    // A last empty line needs its own break, or reading the field back
    // would drop it as the empty rest after a final break.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        text += '\n';
    return text;
}

QStringList SplitWords(const QString& line) {
    QStringList words;
    const qsizetype n = line.size();
    if (n == 0)
        return words;
    qsizetype wordStart = 0;
    qsizetype pos = 0;
    while (pos < n && isSeparator(line[pos]))
        ++pos;
    do {
        while (pos < n && !isSeparator(line[pos]))
            ++pos;
        while (pos < n && isSeparator(line[pos]))
            ++pos;
        words.append(line.mid(wordStart, pos - wordStart));
        wordStart = pos;
    } while (pos < n);
    return words;
}

KeyValue splitKeyValue(const QString& line) {
    const QStringList words = SplitWords(line);
    KeyValue result;
    if (!words.isEmpty())
        result.key = trimmedOfControls(words[0]);
    if (words.size() >= 3)
        result.value = line.mid(words[0].size() + words[1].size());
    return result;
}

bool keyIs(const KeyValue& line, QLatin1StringView name) {
    // Only A-Z and a-z are folded, as the file's keys are plain ASCII names.
    if (line.key.size() != name.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        char16_t a = line.key[i].unicode();
        char16_t b = static_cast<unsigned char>(name[i].toLatin1());
        if (a >= 'a' && a <= 'z')
            a = a - 'a' + 'A';
        if (b >= 'a' && b <= 'z')
            b = b - 'a' + 'A';
        if (a != b)
            return false;
    }
    return true;
}

QList<KeyValue> parseKeyValueText(const QByteArray& bytes) {
    // Cut at the first NUL byte before decoding, so nothing after it is read.
    const qsizetype nul = bytes.indexOf('\0');
    const QStringList lines = splitLines(decodeFileText(nul < 0 ? bytes : bytes.left(nul)));
    QList<KeyValue> result;
    result.reserve(lines.size());
    for (const QString& line : lines)
        result.append(splitKeyValue(line));
    return result;
}

QList<KeyValue> readKeyValueFile(const QString& fileName) {
    return parseKeyValueText(readWholeFile(fileName));
}

QByteArray keyValueBytes(const QList<KeyValue>& lines) {
    QString text;
    for (const KeyValue& line : lines)
        text += line.key + QStringLiteral(" = ") + line.value + QStringLiteral("\r\n");
    return encodeFileText(text);
}

void writeKeyValueFile(const QString& fileName, const QList<KeyValue>& lines) {
    writeWholeFile(fileName, keyValueBytes(lines));
}
