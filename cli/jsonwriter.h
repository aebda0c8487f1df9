#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A small JSON writer that keeps keys in the order they are added (QJsonObject
// sorts them). Values are handed around as finished JSON text in UTF-8.

QByteArray jsonString(const QString& text);
// 17 significant digits, so the number reads back exactly; null when not finite.
QByteArray jsonNumber(double value);
QByteArray jsonNumber(std::optional<double> value); // null when there is none
QByteArray jsonBool(bool value);
QByteArray jsonNull();
QByteArray jsonArray(const QList<QByteArray>& items);
QByteArray jsonStringArray(const QStringList& texts);

class JsonObject {
public:
    JsonObject& add(const char* key, const QByteArray& json);
    JsonObject& add(const char* key, const QString& text) { return add(key, jsonString(text)); }
    JsonObject& add(const char* key, double value) { return add(key, jsonNumber(value)); }
    QByteArray json() const { return text_ + '}'; }

private:
    QByteArray text_ = QByteArrayLiteral("{");
};
