#pragma once

#include "report/composedpage.h"
#include "textfile/filewriter.h"

#include <QString>

#include <functional>

struct HtmlOutput {
    LinkHandling links = LinkHandling::Follow;
    // Each page's title, followed by "page k of n" when there are several;
    // "Hydrant Flow Test Report" when empty.
    QString title;
    // For a batch: tells a path that another report of the run writes, which
    // is never taken for an old page of this one.
    std::function<bool(const QString& path)> writtenByAnother;
};

// The report as web pages, one file per page: folder/baseName + k + extension
// for page k (from 1), its pictures as JPEG files in the folder
// folder/baseName/, made when missing (one level). Each page of a report of
// more than one page links to the page before and after it. The pages and
// pictures replace the old ones as one set or not at all; then the pages and
// pictures of an earlier, longer report of that name are removed. A base
// name that cannot name a folder of its own ("", ".", "..") is refused.
// Throws FileError (or JpegError).
void writeHtmlReport(const ComposedReport& pages, const QString& folder, const QString& baseName,
                     const QString& extension, const HtmlOutput& output = {});

// Refuses a base name that cannot name a picture folder of its own ("",
// ".", ".."): throws FileError.
void checkHtmlReportName(const QString& folder, const QString& baseName, const QString& extension);

// The file name of page k (from 1) without its folder.
QString htmlPageFileName(const QString& baseName, int pageNumber, const QString& extension);
// The file name of a page's picture inside the picture folder.
QString htmlPictureFileName(int pageNumber, int pictureNumber);
