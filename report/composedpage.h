#pragma once

#include <QList>
#include <QPicture>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <variant>

// Composed report pages: display lists in inches, measured from the paper's
// top-left corner with y growing downwards. The composer has placed and
// measured everything; a writer only draws what it is given, in order.

// Every text of a report is Arial; a font is its size and weight.
// Underlines are drawn as lines of their own.
struct ReportFont {
    double pointSize = 12;
    bool bold = false;

    bool operator==(const ReportFont&) const = default;
};

// One line of text starting at origin.x() on the baseline origin.y().
// Nothing of it shows outside `clip`; a null clip hides nothing.
struct TextRun {
    QString text;
    ReportFont font;
    QPointF origin;
    QRectF clip;
};

// A straight black line `width` inches thick, ending flat at its ends.
struct RuleLine {
    QPointF from;
    QPointF to;
    double width = 1.0 / 96;
};

// A vector picture scaled so that its bounding rectangle fills `rect`.
struct PagePicture {
    QRectF rect;
    QPicture picture;
};

using PageItem = std::variant<TextRun, RuleLine, PagePicture>;

struct ComposedPage {
    QSizeF size{8.5, 11.0};
    QList<PageItem> items; // in drawing order: later items lie on top
};

using ComposedReport = QList<ComposedPage>;
