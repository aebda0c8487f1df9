#include "report/compositeglyphs.h"

#include <QFile>
#include <QtEndian>

namespace {

// Big-endian fields, 0 past the end of the data.
quint16 u16(const QByteArray& data, qsizetype at) {
    return at >= 0 && at + 2 <= data.size() ? qFromBigEndian<quint16>(data.constData() + at) : 0;
}
quint32 u32(const QByteArray& data, qsizetype at) {
    return at >= 0 && at + 4 <= data.size() ? qFromBigEndian<quint32>(data.constData() + at) : 0;
}

QByteArray fontTable(const QByteArray& font, const char* tag) {
    const int tables = u16(font, 4);
    for (int i = 0; i < tables; ++i) {
        const qsizetype entry = 12 + 16 * i;
        if (font.mid(entry, 4) == tag)
            return font.mid(u32(font, entry + 8), u32(font, entry + 12));
    }
    return {};
}

// Flags of a component record in a composite glyph.
constexpr quint16 argumentsAreWords = 0x0001;
constexpr quint16 hasScale = 0x0008;
constexpr quint16 moreComponents = 0x0020;
constexpr quint16 hasXYScale = 0x0040;
constexpr quint16 hasTwoByTwo = 0x0080;

// Real fonts nest two or three deep; the limit stops a looping font.
constexpr int deepestNesting = 16;

} // namespace

CompositeGlyphs::CompositeGlyphs(const QString& fontFile) {
    QFile file(fontFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray font = file.readAll();
    const QByteArray head = fontTable(font, "head");
    const QByteArray loca = fontTable(font, "loca");
    const int glyphs = u16(fontTable(font, "maxp"), 4);
    const bool longOffsets = u16(head, 50) == 1;
    glyf_ = fontTable(font, "glyf");
    glyphStarts_.reserve(glyphs + 1);
    for (int i = 0; i <= glyphs; ++i)
        glyphStarts_.append(longOffsets ? u32(loca, 4 * i) : 2u * u16(loca, 2 * i));
}

QList<quint16> CompositeGlyphs::partsOf(quint16 glyph) const {
    QList<quint16> parts;
    collectParts(glyph, 0, parts);
    return parts;
}

void CompositeGlyphs::collectParts(quint16 glyph, int depth, QList<quint16>& parts) const {
    if (glyph + 1 >= glyphStarts_.size() || depth > deepestNesting)
        return;
    const qsizetype start = glyphStarts_[glyph];
    const qsizetype end = qMin<qsizetype>(glyphStarts_[glyph + 1], glyf_.size());
    if (end - start < 10 || static_cast<qint16>(u16(glyf_, start)) >= 0)
        return; // empty, or a simple glyph with outlines of its own
    quint16 flags = moreComponents;
    for (qsizetype at = start + 10; (flags & moreComponents) && at + 4 <= end;) {
        flags = u16(glyf_, at);
        const quint16 part = u16(glyf_, at + 2);
        at += 4 + ((flags & argumentsAreWords) ? 4 : 2);
        at += (flags & hasScale) ? 2 : (flags & hasXYScale) ? 4 : (flags & hasTwoByTwo) ? 8 : 0;
        if (!parts.contains(part)) {
            parts.append(part);
            collectParts(part, depth + 1, parts);
        }
    }
}
