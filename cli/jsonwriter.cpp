#include "cli/jsonwriter.h"

#include <cmath>
#include <cstdio>

namespace {

QByteArray escapedByte(char byte) {
    switch (byte) {
    case '"':
        return QByteArrayLiteral("\\\"");
    case '\\':
        return QByteArrayLiteral("\\\\");
    case '\b':
        return QByteArrayLiteral("\\b");
    case '\f':
        return QByteArrayLiteral("\\f");
    case '\n':
        return QByteArrayLiteral("\\n");
    case '\r':
        return QByteArrayLiteral("\\r");
    case '\t':
        return QByteArrayLiteral("\\t");
    default:
        break;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(byte));
    return QByteArray(escaped);
}

} // namespace

QByteArray jsonString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray json;
    json.reserve(utf8.size() + 2);
    json += '"';
    for (const char byte : utf8) {
        // Bytes of multi-byte UTF-8 sequences are >= 0x80 and pass unchanged.
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x20 || byte == '"' || byte == '\\')
            json += escapedByte(byte);
        else
            json += byte;
    }
    json += '"';
    return json;
}

QByteArray jsonNumber(double value) {
    if (!std::isfinite(value))
        return jsonNull();
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", value);
    // printf follows the C locale's decimal point; JSON wants a full stop.
    QByteArray json(digits);
    json.replace(',', '.');
    return json;
}

QByteArray jsonNumber(std::optional<double> value) {
    return value ? jsonNumber(*value) : jsonNull();
}

QByteArray jsonBool(bool value) {
    return value ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
}

QByteArray jsonNull() {
    return QByteArrayLiteral("null");
}

QByteArray jsonArray(const QList<QByteArray>& items) {
    return '[' + items.join(',') + ']';
}

QByteArray jsonStringArray(const QStringList& texts) {
    QList<QByteArray> items;
    items.reserve(texts.size());
    for (const QString& text : texts)
        items.append(jsonString(text));
    return jsonArray(items);
}

JsonObject& JsonObject::add(const char* key, const QByteArray& json) {
    if (text_.size() > 1)
        text_ += ',';
    text_ += jsonString(QString::fromUtf8(key)) + ':' + json;
    return *this;
}
