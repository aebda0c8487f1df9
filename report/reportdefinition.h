#pragma once

#include "report/composedpage.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// A report definition as data: pages of items and a region of bands, all
// measured in inches. Page items are placed from the paper's top-left
// corner, band items from their band's top-left corner.

enum class ItemKind {
    FixedText,      // prints its own text, never cut
    DataText,       // prints a text field, cut at its width unless told otherwise
    DataMemo,       // prints a memo field wrapped word by word inside its box
    Picture,        // prints a graphic field scaled to its width
    HorizontalLine, // a rule along its top edge, its width long
};

enum class Alignment { Left, Centre, Right };

struct ReportItem {
    QString name;
    ItemKind kind = ItemKind::FixedText;
    QString text; // the fixed text, or the field name of a data item
    QRectF box;   // left, top, width and (for memos and pictures) height
    ReportFont font;
    bool underline = false;
    Alignment alignment = Alignment::Left;
    bool cutAtWidth = true; // data texts only
};

// A band prints once per row of its data view, at its fixed height. Its
// header, when it has one, prints above its rows on every page they
// continue on, except the page where the band starts.
struct ReportBand {
    QString name;
    QString dataView;
    double height = 0;
    QList<ReportItem> items;
    double continuedHeaderHeight = 0;
    QList<ReportItem> continuedHeader;
};

struct ReportDefinition {
    QString name;
    QString description;
    QSizeF paperSize{8.5, 11.0};
    QList<ReportItem> pageItems; // on every page: title, footer
    QRectF region;               // where the bands are laid out
    QList<ReportBand> bands;     // top to bottom
};

// The report project: its reports, and which connection feeds each data
// view (by the connection's name).
struct ReportProject {
    struct ViewBinding {
        QString dataView;
        QString connection;
    };
    QList<ViewBinding> views;
    QList<ReportDefinition> reports;

    const ReportDefinition* report(const QString& name) const;
    QString connectionOf(const QString& dataView) const;
};
