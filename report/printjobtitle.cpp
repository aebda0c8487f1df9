#include "report/printjobtitle.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Queues show one line; a location longer than this is cut.
constexpr qsizetype maxLocationLength = 80;

QString firstNonBlankLine(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n\u2028\u2029]"));
    for (const QString& line : text.split(lineBreak)) {
        const QString simplified = line.simplified();
        if (!simplified.isEmpty())
            return simplified;
    }
    return {};
}

QString cutToLength(const QString& text, qsizetype length) {
    if (text.size() <= length)
        return text;
    qsizetype end = length - 1;
    if (text[end].isLowSurrogate()) // never split a character in two
        --end;
    return text.left(end).trimmed() + QChar(0x2026);
}

QString jobTitle(const QString& report, const QString& dateText, const QString& locationText) {
    QStringList parts{report};
    const QString date = dateText.simplified();
    if (!date.isEmpty())
        parts.append(date);
    const QString location = cutToLength(firstNonBlankLine(locationText), maxLocationLength);
    if (!location.isEmpty())
        parts.append(location);
    return parts.join(QStringLiteral(" \u2013 "));
}

QString locationLines(const TestRecord& test) {
    return test.location.join(QLatin1Char('\n'));
}

} // namespace

QString printJobTitle(const QString& dateText, const QString& locationText) {
    return jobTitle(QStringLiteral("Hydrant Flow Test Report"), dateText, locationText);
}

QString printJobTitle(const TestRecord& test) {
    return printJobTitle(test.date, locationLines(test));
}

QString analysisJobTitle(const TestRecord& test) {
    return jobTitle(QStringLiteral("Water Supply Analysis"), test.date, locationLines(test));
}
