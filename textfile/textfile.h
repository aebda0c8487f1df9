#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>

// A failure that ends a command, with the message the user sees as it is.
class UserError : public std::exception {
public:
    explicit UserError(QString message) : message_(std::move(message)), bytes_(message_.toUtf8()) {}
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return bytes_.constData(); }

private:
    QString message_;
    QByteArray bytes_;
};

// User text as a message quotes it: at most `maxLength` characters, then
// "…" when there was more, so a huge field never floods a message.
QString messageExcerpt(const QString& text, qsizetype maxLength = 60);

// A file that could not be read or written:
// "Cannot open file "<name>". <reason>" or "Cannot create file "<name>". <reason>".
class FileError : public UserError {
public:
    explicit FileError(QString message, QString reason = {})
        : UserError(std::move(message)), reason_(std::move(reason)) {}
    // The system's reason alone ("No space left on device."), when known.
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

// Both text files of the program are bytes in Windows-1252; a text that
// Windows-1252 cannot hold is written as UTF-8 behind a byte-order mark, and
// a file that starts with that mark is read as UTF-8.
QString decodeFileText(const QByteArray& bytes);
QByteArray encodeFileText(const QString& text);
bool fitsWindows1252(const QString& text);

// Lines end with CR LF, a lone CR or a lone LF; a final break adds no empty
// line; the text ends at the first NUL.
QStringList splitLines(const QString& text);

// The lines of a multi-line field as the file stores them: the lines the
// user ended with Enter plus the last one; nothing for an empty field, and no
// empty line after a final line break.
QStringList textFieldLines(const QString& fieldText);
// The field text that gives back exactly these lines.
QString textFieldText(const QStringList& lines);

// Words separated by runs of NUL, LF, CR and space (a tab is an ordinary
// character). Each word carries the separators that follow it, the first one
// also those before it, so joining the words gives back the line.
QStringList SplitWords(const QString& line);

// "key = value": the key is the first word trimmed of codes <= 32, the second
// word is skipped unseen, the value is the line from the third word on.
struct KeyValue {
    QString key;
    QString value;
};
KeyValue splitKeyValue(const QString& line);
bool keyIs(const KeyValue& line, QLatin1StringView name); // ignores the case of A-Z

// A whole key = value file: read (decoded, split into lines, each split)...
QList<KeyValue> readKeyValueFile(const QString& fileName);
QList<KeyValue> parseKeyValueText(const QByteArray& bytes);
// ...and written ("key = value" lines, each ended by CR LF, encoded) by the
// one file writer, links followed.
QByteArray keyValueBytes(const QList<KeyValue>& lines);
void writeKeyValueFile(const QString& fileName, const QList<KeyValue>& lines);
