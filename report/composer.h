#pragma once

#include "report/composedpage.h"
#include "report/reportdefinition.h"

#include <QList>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <limits>

class DataConnection;

// Lays out a report definition on pages, reading its data views from the
// connections first, in band order. Bands never grow or shrink; a band that
// no longer fits the region continues on a new page, which repeats the page
// items (title, footer) and, when the definition has them, the continued
// page band and page numbers. A text cut at its width ends with an
// ellipsis, and so does the last line of a memo cut by its height.
class ReportComposer {
public:
    using PageStarted = std::function<void(int pageNumber)>;

    ReportComposer(const ReportProject& project, QList<DataConnection*> connections);

    // Called as each page is begun (for a status line).
    void onPageStarted(PageStarted callback) { pageStarted_ = std::move(callback); }

    ComposedReport compose(const ReportDefinition& report);

private:
    DataConnection* connectionFor(const QString& dataView) const;

    const ReportProject& project_;
    QList<DataConnection*> connections_;
    PageStarted pageStarted_;
};

// Memo text split into the lines that fit `width` inches: paragraphs end at
// line breaks (CR LF, CR or LF), and each is wrapped word by word; a word
// wider than the line is broken between characters. Wrapping stops after
// `maxLines` lines, and the text beyond them is never looked at.
QStringList wrapMemoText(QStringView text, double width, const ReportFont& font,
                         qsizetype maxLines = std::numeric_limits<qsizetype>::max());

// The most characters a composed text run holds: far more than a line of
// the paper shows, far fewer than a PDF string may hold.
inline constexpr qsizetype longestTextRun = 4096;
