#include "report/reportitems.h"

#include "ui/appinfo.h"

ReportItem fixedText(const char* name, const QString& text, double left, double top, double width,
                     ReportFont font, Alignment alignment, bool underline) {
    return {QString::fromLatin1(name),
            ItemKind::FixedText,
            text,
            QRectF(left, top, width, 0),
            font,
            underline,
            alignment,
            0};
}

ReportItem dataText(const char* name, const char* field, double left, double top, double width,
                    ReportFont font, Alignment alignment, double cutWidth) {
    return {QString::fromLatin1(name),
            ItemKind::DataText,
            QString::fromLatin1(field),
            QRectF(left, top, width, 0),
            font,
            false,
            alignment,
            cutWidth};
}

ReportItem dataMemo(const char* name, const char* field, double left, double top, double width,
                    double height) {
    return {QString::fromLatin1(name),
            ItemKind::DataMemo,
            QString::fromLatin1(field),
            QRectF(left, top, width, height),
            regular12,
            false,
            Alignment::Left,
            0};
}

ReportItem pictureItem(const char* name, const char* field, double left, double top, double width,
                       double height) {
    return {QString::fromLatin1(name),
            ItemKind::Picture,
            QString::fromLatin1(field),
            QRectF(left, top, width, height),
            {},
            false,
            Alignment::Left,
            0};
}

ReportItem horizontalLine(const char* name, double left, double top, double width) {
    return {QString::fromLatin1(name),
            ItemKind::HorizontalLine,
            {},
            QRectF(left, top, width, 0),
            {},
            false,
            Alignment::Left,
            0};
}

QList<ReportItem> testDateAndTime() {
    return {
        fixedText("Text2", QStringLiteral("Test Date"), 1.5, 0, 0.8, bold12, Alignment::Right),
        // Date and time run past their width: the date up to the time's
        // caption, the time up to the region's right edge.
        dataText("DateText", "Date", 2.35, 0, 0.9, regular12, Alignment::Left, 3.7 - 2.35),
        fixedText("Text3", QStringLiteral("Test Time"), 3.7, 0, 0.8, bold12, Alignment::Right),
        dataText("TimeText", "Time", 4.55, 0, 0.9, regular12, Alignment::Left, 6.5 - 4.55),
    };
}

ReportItem programFooter() {
    return fixedText("Text11",
                     QStringLiteral("Created with the free hydrant flow test program from ") +
                         QString::fromLatin1(AppInfo::webHost),
                     2.25, 9.9, 4.0, ReportFont{8, false}, Alignment::Centre);
}
