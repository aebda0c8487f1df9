#pragma once

#include "report/composedpage.h"
#include "report/reportdefinition.h"

#include <QHash>
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

// The lines a memo item's box holds on its page.
qsizetype memoBoxLines(const ReportItem& memo);
// The lines `text` takes in a memo item's box at its width, counted up to
// `limit` (the text beyond is never looked at).
qsizetype memoLineCount(QStringView text, const ReportItem& memo, qsizetype limit);

// A memo that its box cut short, and where the report prints it whole.
struct ContinuedMemo {
    QString itemName;
    int cutOnPage = 0;  // from 1
    int page = 0;       // where it prints whole, from 1; 0 when no page was left
    bool whole = false; // whether those pages hold all of it
};

// The memos of a report's continuation that their boxes cut short, in the
// order they print, found without composing the report: `rowCounts` holds
// the number of rows of each band, `memoTexts` each memo item's text.
QList<ContinuedMemo> continuedMemos(const ReportDefinition& report, const QList<int>& rowCounts,
                                    const QHash<QString, QString>& memoTexts);

// The most characters a composed text run holds: far more than a line of
// the paper shows, far fewer than a PDF string may hold.
inline constexpr qsizetype longestTextRun = 4096;
