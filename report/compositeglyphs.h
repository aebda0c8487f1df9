#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The glyph outlines of a TrueType font file, read far enough to tell which
// glyphs a composite glyph (an accented letter, most Chinese characters) is
// assembled from.
class CompositeGlyphs {
public:
    // Knows no glyphs when the file cannot be read or is not TrueType.
    explicit CompositeGlyphs(const QString& fontFile);

    // Every glyph the glyph is assembled from, parts of parts included.
    QList<quint16> partsOf(quint16 glyph) const;

private:
    void collectParts(quint16 glyph, int depth, QList<quint16>& parts) const;

    QByteArray glyf_;
    QList<quint32> glyphStarts_; // one more than there are glyphs
};
