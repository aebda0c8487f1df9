#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QChar>
#include <QString>

#include <array>
#include <cstdio>
#include <cstdlib>

// A property that does not hold is a finding: say which and what was seen,
// then abort, so that libFuzzer keeps the input as a crash artifact.
inline void fuzzCheck(bool holds, const char* property, const QString& seen = {}) {
    if (holds)
        return;
    std::fprintf(stderr, "Property violated: %s\n", property);
    if (!seen.isEmpty())
        std::fprintf(stderr, "Seen: %s\n", seen.toUtf8().constData());
    std::abort();
}

// Shows control characters, so that a report tells blanks, tabs and breaks apart.
inline QString visible(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() < 32 || c.unicode() == 127)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar('0'));
        else
            shown += c;
    }
    return '[' + shown + ']';
}

// Characters the readers treat specially, and text beyond Latin-1 (a
// surrogate pair, a lone surrogate, the byte-order mark, a line separator),
// picked by the top sixteen byte values; every other byte is the Latin-1
// character of that code, so ASCII inputs mean what they say.
inline QChar fuzzChar(unsigned char byte) {
    static constexpr std::array<char16_t, 16> wide = {
        0x20AC, 0x0416, 0x4E2D, 0x2028, 0xFEFF, 0xFFFD, 0xD83D, 0xDE00,
        0xD800, 0x0152, 0x03A9, 0x00A0, 0x2019, 0x0085, 0x0081, 0x00FF,
    };
    if (byte < 0xF0)
        return QChar(char16_t(byte));
    return QChar(wide[byte - 0xF0]);
}

// A text of up to maxLength characters from the fuzzer's bytes.
inline QString fuzzText(FuzzedDataProvider& data, size_t maxLength) {
    const size_t length = data.ConsumeIntegralInRange<size_t>(0, maxLength);
    QString text;
    for (size_t i = 0; i < length && data.remaining_bytes() > 0; ++i) {
        const auto byte = data.ConsumeIntegral<unsigned char>();
        text += fuzzChar(byte);
        // The emoji's high surrogate gets its partner; 0xD800 stays alone.
        if (text.back() == QChar(0xD83D))
            text += QChar(0xDE00);
    }
    return text;
}

// The decimal separators the program meets: the full stop and the comma.
inline QChar fuzzSeparator(FuzzedDataProvider& data) {
    return data.ConsumeBool() ? QChar(',') : QChar('.');
}
