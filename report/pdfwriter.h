#pragma once

#include "report/composedpage.h"

#include "textfile/filewriter.h"
#include "textfile/textfile.h"

#include <QByteArray>
#include <QString>

// libharu failed inside (not a file error), with a readable message.
class PdfError : public UserError {
public:
    using UserError::UserError;
};

// The report as a PDF file, every page on US Letter: texts in Helvetica (no
// font embedded), characters outside WinAnsi in an embedded subset of a
// Unicode TrueType font, pictures as JPEG. Throws PdfError or JpegError.
// `title` is the document's title that viewers show (none when empty).
QByteArray pdfBytes(const ComposedReport& pages, const QString& title = {});

// Written whole or not at all; also throws FileError.
void writePdfFile(const QString& fileName, const ComposedReport& pages, const QString& title = {},
                  LinkHandling links = LinkHandling::Follow);
