#include "ui/windowfont.h"

#include <QApplication>
#include <QFontDatabase>

QFont windowFont() {
    QFont font = QApplication::font();
    const QString preferred = QStringLiteral("Liberation Sans");
    if (QFontDatabase::families().contains(preferred))
        font.setFamily(preferred);
    font.setPointSize(9);
    return font;
}
