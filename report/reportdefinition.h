#pragma once

#include "report/composedpage.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// A report definition as data: pages of items and a region of bands, all
// measured in inches. Page items are placed from the paper's top-left
// corner, band items from their band's top-left corner.

enum class ItemKind {
    FixedText,      // prints its own text, never cut
    DataText,       // prints a text field's first line, cut where told
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
    // Data texts: how far from their left they may run before they are cut
    // (ending with an ellipsis); 0 cuts them at their width.
    double cutWidth = 0;
};

// A band prints once per row of its data view, at its fixed height. Its
// header, when it has one, prints above its rows on every page they
// continue on, except the page where the band starts. A band kept with
// the previous one never starts a page alone: the previous band's last
// row moves along with it.
struct ReportBand {
    QString name;
    QString dataView;
    double height = 0;
    QList<ReportItem> items;
    double continuedHeaderHeight = 0;
    QList<ReportItem> continuedHeader;
    bool keepWithPrevious = false;
};

// Memos that their box cuts short print again, whole, on pages after the
// report's last, so nothing typed is missing from the paper. Those pages
// repeat the page items, the continued page band and the page numbers;
// under `caption` each memo prints below its heading, wrapped at the
// region's full width in its own font, and continues from page to page.
// At most `maxPages` such pages are added; a last line then says how many
// lines of the texts they could not hold.
struct MemoContinuation {
    struct Memo {
        QString itemName; // a data memo of the first row of its band
        QString heading;
    };
    QList<Memo> memos;         // in the order they print
    ReportItem caption;        // %1: the page the first cut memo is on
    ReportItem heading;        // its font and underline, for every heading
    QString continued;         // added to a heading repeated on the next page
    double gapAfter = 0;       // between one memo's last line and the next heading
    ReportItem notPrinted;     // %1: the lines not printed, when more than one
    QString notPrintedOneLine; // the same for one line
    int maxPages = 20;
};

struct ReportDefinition {
    QString name;
    QString description;
    QSizeF paperSize{8.5, 11.0};
    QList<ReportItem> pageItems; // on every page: title, footer
    QRectF region;               // where the bands are laid out
    QList<ReportBand> bands;     // top to bottom
    // Only when the report runs over more than one page: on every page, a
    // fixed text whose %1 is the page's number and %2 the number of pages;
    // and at the region's top of every page after the first, a band that
    // prints the first row of its data view (which test the page is of).
    std::optional<ReportItem> pageNumber;
    std::optional<ReportBand> continuedPageBand;
    std::optional<MemoContinuation> memoContinuation;
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
