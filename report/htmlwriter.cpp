#include "report/htmlwriter.h"

#include "report/jpegencoder.h"
#include "report/pagepicture.h"
#include "textfile/fileaccess.h"
#include "textfile/textfile.h"

#include <QDir>
#include <QLineF>
#include <QList>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <type_traits>
#include <variant>

namespace {

// Positions are in inches as composed. A text's baseline is pinned without
// knowing the browser's font metrics: an empty inline-block 2em high sits on
// the baseline and is taller than any glyph's ascent, so the line box starts
// exactly 2em above the baseline.
const char* const pageHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>%1</title>
<style>
@page { size: letter; margin: 0 }
html { background: #d9d9d9 }
body { margin: 0; padding: 16px 0 }
.page { position: relative; width: 8.5in; height: 11in; margin: 0 auto; overflow: hidden;
        background: #fff; box-shadow: 0 2px 8px rgba(0, 0, 0, 0.35) }
.t, .c, .r, .p { position: absolute }
.t { white-space: pre; line-height: normal; color: #000; font-kerning: none;
     font-family: Arial, "Liberation Sans", Helvetica, sans-serif }
.t::before { content: ""; display: inline-block; height: 2em }
.b { font-weight: bold }
.c { overflow: hidden }
.r { background: #000; transform-origin: 0 50%;
     -webkit-print-color-adjust: exact; print-color-adjust: exact }
@media print {
  html { background: none }
  body { padding: 0 }
  .page { margin: 0; box-shadow: none }
}
)";
// Only the pages of a report of more than one page link to each other.
const char* const pageLinksStyle =
    R"(nav { display: flex; justify-content: space-between; width: 8.5in;
      margin: 0 auto 8px; font: 14px Arial, "Liberation Sans", Helvetica, sans-serif }
@media print { nav { display: none } }
)";
const char* const pageBodyStart = "</style>\n</head>\n<body>\n";
const char* const pageStart = "<div class=\"page\">\n";
const char* const pageTail = "</div>\n</body>\n</html>\n";

QString inches(double value) {
    return QString::number(value, 'f', 4) + QLatin1String("in");
}

QString boxStyle(const QRectF& box) {
    return QStringLiteral("left:%1;top:%2;width:%3;height:%4")
        .arg(inches(box.left()), inches(box.top()), inches(box.width()), inches(box.height()));
}

QString htmlEscaped(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            escaped += QLatin1String("&amp;");
            break;
        case '<':
            escaped += QLatin1String("&lt;");
            break;
        case '>':
            escaped += QLatin1String("&gt;");
            break;
        case '"':
            escaped += QLatin1String("&quot;");
            break;
        case '\'':
            escaped += QLatin1String("&#39;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// The name's own bytes, so a name that is not UTF-8 still finds its file.
QString urlPathComponent(const QString& name) {
    return QString::fromLatin1(nativeName(name).toPercentEncoding());
}

// One page's markup, item by item in drawing order.
class HtmlPage {
public:
    void add(const TextRun& run) {
        if (run.clip.isNull()) {
            html_ += textElement(run, run.origin) + QLatin1Char('\n');
            return;
        }
        // Inside the clip box, positions count from its corner.
        html_ += QStringLiteral("<div class=\"c\" style=\"%1\">").arg(boxStyle(run.clip)) +
                 textElement(run, run.origin - run.clip.topLeft()) + QLatin1String("</div>\n");
    }

    void add(const RuleLine& line) {
        const QLineF path(line.from, line.to);
        if (path.length() <= 0)
            return;
        // A bar as long as the line and as thick, turned about its start.
        QString style = QStringLiteral("left:%1;top:%2;width:%3;height:%4")
                            .arg(inches(line.from.x()), inches(line.from.y() - line.width / 2),
                                 inches(path.length()), inches(line.width));
        // QLineF counts counter-clockwise, CSS clockwise; kept within +-180.
        double angle = 360 - path.angle();
        if (angle >= 180)
            angle -= 360;
        if (angle != 0)
            style += QStringLiteral(";transform:rotate(%1deg)").arg(angle);
        html_ += QStringLiteral("<div class=\"r\" style=\"%1\"></div>\n").arg(style);
    }

    void addPicture(const QRectF& rect, const QString& url) {
        html_ += QStringLiteral("<img class=\"p\" src=\"%1\" alt=\"\" style=\"%2\">\n")
                     .arg(htmlEscaped(url), boxStyle(rect));
    }

    // `previous` and `next`: the URLs of the neighbouring pages, empty for
    // none; a report of one page has neither.
    QByteArray document(const QString& title, const QString& previous, const QString& next) const {
        QString head = QString::fromLatin1(pageHead).arg(htmlEscaped(title));
        if (!previous.isEmpty() || !next.isEmpty())
            head += QLatin1String(pageLinksStyle) + QLatin1String(pageBodyStart) +
                    pageLinks(previous, next);
        else
            head += QLatin1String(pageBodyStart);
        return (head + QLatin1String(pageStart) + html_ + QLatin1String(pageTail)).toUtf8();
    }

private:
    static QString pageLinks(const QString& previous, const QString& next) {
        const auto link = [](const QString& url, const char* rel, const char* text) {
            return url.isEmpty()
                       ? QStringLiteral("<span></span>")
                       : QStringLiteral("<a href=\"%1\" rel=\"%2\">%3</a>")
                             .arg(htmlEscaped(url), QLatin1String(rel), QLatin1String(text));
        };
        return QLatin1String("<nav>") + link(previous, "prev", "&larr; Previous page") +
               link(next, "next", "Next page &rarr;") + QLatin1String("</nav>\n");
    }

    static QString textElement(const TextRun& run, const QPointF& origin) {
        return QStringLiteral(
                   "<div class=\"%1\" style=\"left:%2;top:calc(%3 - 2em);font-size:%4pt\">%5</div>")
            .arg(run.font.bold ? QLatin1String("t b") : QLatin1String("t"), inches(origin.x()),
                 inches(origin.y()), QString::number(run.font.pointSize), htmlEscaped(run.text));
    }

    QString html_;
};

// Builds every file before writing any, so an encoding failure leaves the
// folder as it was.
class HtmlReportFiles {
public:
    HtmlReportFiles(const QString& folder, const QString& baseName, const QString& extension,
                    const QString& title)
        : folder_(folder), baseName_(baseName), extension_(extension),
          pictureFolder_(QDir(folder).filePath(baseName)),
          title_(title.isEmpty() ? QStringLiteral("Hydrant Flow Test Report") : title) {}

    // Page `pageNumber` of `pageCount`, from 1.
    void addPage(const ComposedPage& page, int pageNumber, int pageCount) {
        HtmlPage html;
        int pictureNumber = 0;
        for (const PageItem& item : page.items)
            std::visit(
                [&](const auto& drawable) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(drawable)>, PagePicture>) {
                        if (!isBlankPicture(drawable.picture))
                            html.addPicture(drawable.rect,
                                            keepPicture(drawable, pageNumber, ++pictureNumber));
                    } else {
                        html.add(drawable);
                    }
                },
                item);
        const auto pageUrl = [&](int k) {
            return k < 1 || k > pageCount ? QString() : urlPathComponent(pageFileName(k));
        };
        // Tabs and bookmarks of the pages of one report tell them apart.
        const QString title = pageCount == 1 ? title_
                                             : QStringLiteral("%1 \u2013 page %2 of %3")
                                                   .arg(title_)
                                                   .arg(pageNumber)
                                                   .arg(pageCount);
        pages_.append({QDir(folder_).filePath(pageFileName(pageNumber)),
                       html.document(title, pageUrl(pageNumber - 1), pageUrl(pageNumber + 1))});
    }

    // The pictures and pages replace the old ones as one set, so no page
    // ever shows with pictures of another report.
    void write(LinkHandling links) const {
        preparePictureFolder(links);
        writeFileSet(pictures_ + pages_, links);
    }

    // Picture files of an earlier report of this name that this one has not.
    void removeOldPictures() const {
        static const QRegularExpression pictureName(
            QStringLiteral("^page[1-9][0-9]*-picture[1-9][0-9]*\\.jpg$"));
        QSet<QString> kept;
        for (const FileContent& picture : pictures_)
            kept.insert(picture.fileName);
        for (const QString& name : folderEntries(pictureFolder_)) {
            const QString path = QDir(pictureFolder_).filePath(name);
            if (pictureName.match(name).hasMatch() && !kept.contains(path))
                removeFile(path);
        }
    }

private:
    QString pageFileName(int pageNumber) const {
        return htmlPageFileName(baseName_, pageNumber, extension_);
    }

    // The picture's URL relative to the pages.
    QString keepPicture(const PagePicture& picture, int pageNumber, int pictureNumber) {
        const QString name = htmlPictureFileName(pageNumber, pictureNumber);
        pictures_.append({QDir(pictureFolder_).filePath(name), pagePictureJpeg(picture)});
        return urlPathComponent(baseName_) + '/' + urlPathComponent(name);
    }

    // One folder level: a report never makes the folder it is written into.
    void preparePictureFolder(LinkHandling links) const {
        if (links == LinkHandling::Replace && entryKind(pictureFolder_) == EntryKind::Link &&
            !removeFile(pictureFolder_))
            throw cannotCreateFolder(pictureFolder_, systemReason(errno));
        makeFolder(pictureFolder_);
    }

    QString folder_;
    QString baseName_;
    QString extension_;
    QString pictureFolder_;
    QString title_;
    QList<FileContent> pictures_;
    QList<FileContent> pages_;
};

// Pages of an earlier, longer report of this name: the pages after this
// report's last, as long as they follow one another.
void removeOldPages(const QString& folder, const QString& baseName, const QString& extension,
                    int pageCount, const HtmlOutput& output) {
    for (int k = pageCount + 1;; ++k) {
        const QString page = QDir(folder).filePath(htmlPageFileName(baseName, k, extension));
        const EntryKind kind = entryKind(page);
        if ((kind != EntryKind::File && kind != EntryKind::Link) ||
            (output.writtenByAnother && output.writtenByAnother(page)) || !removeFile(page))
            return;
    }
}

} // namespace

void checkHtmlReportName(const QString& folder, const QString& baseName, const QString& extension) {
    if (!baseName.isEmpty() && baseName != QLatin1String(".") && baseName != QLatin1String("..") &&
        !baseName.contains(QLatin1Char('/')))
        return;
    throw cannotCreateFile(QDir(folder).filePath(htmlPageFileName(baseName, 1, extension)),
                           QStringLiteral("The name \"%1\" cannot name the folder of its pictures.")
                               .arg(messageExcerpt(baseName)));
}

QString htmlPageFileName(const QString& baseName, int pageNumber, const QString& extension) {
    return baseName + QString::number(pageNumber) + extension;
}

QString htmlPictureFileName(int pageNumber, int pictureNumber) {
    return QStringLiteral("page%1-picture%2.jpg").arg(pageNumber).arg(pictureNumber);
}

void writeHtmlReport(const ComposedReport& pages, const QString& folder, const QString& baseName,
                     const QString& extension, const HtmlOutput& output) {
    checkHtmlReportName(folder, baseName, extension);
    HtmlReportFiles files(folder, baseName, extension, output.title);
    for (int k = 1; k <= pages.size(); ++k)
        files.addPage(pages[k - 1], k, static_cast<int>(pages.size()));
    files.write(output.links);
    removeOldPages(folder, baseName, extension, static_cast<int>(pages.size()), output);
    files.removeOldPictures();
}
