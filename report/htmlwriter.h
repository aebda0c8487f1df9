#pragma once

#include "report/composedpage.h"

#include <QString>

// The report as web pages, one file per page: folder/baseName + k + extension
// for page k (from 1), its pictures as JPEG files in the folder
// folder/baseName/. Every file is written whole or not at all; throws
// FileError (or JpegError).
void writeHtmlReport(const ComposedReport& pages, const QString& folder, const QString& baseName,
                     const QString& extension);

// The file name of page k (from 1) without its folder.
QString htmlPageFileName(const QString& baseName, int pageNumber, const QString& extension);
