#include "app/menuicons.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

// Simple 16 x 16 pictures drawn for this program where the style has none.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

QIcon printerIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(1, 6, 14, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 8, 5);
    });
}

QIcon mailIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 120), 1));
        p.setBrush(QColor(250, 240, 200));
        p.drawRect(1, 3, 14, 10);
        p.drawLine(1, 3, 8, 9);
        p.drawLine(15, 3, 8, 9);
    });
}

QIcon webIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(20, 90, 160), 1));
        p.setBrush(QColor(200, 225, 250));
        p.drawEllipse(1, 1, 14, 14);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(5, 1, 6, 14);
        p.drawLine(1, 8, 15, 8);
    });
}

} // namespace

QIcon menuIcon(int index, const QStyle& style) {
    switch (index) {
    case 0:
        return style.standardIcon(QStyle::SP_DialogOpenButton);
    case 1:
        return style.standardIcon(QStyle::SP_DialogSaveButton);
    case 2:
        return QIcon::fromTheme(QStringLiteral("document-print"), printerIcon());
    case 3:
        return style.standardIcon(QStyle::SP_FileDialogContentsView);
    case 4:
        return style.standardIcon(QStyle::SP_DialogCloseButton);
    case 5:
        return style.standardIcon(QStyle::SP_FileIcon);
    case 6:
        return style.standardIcon(QStyle::SP_FileDialogDetailedView);
    case 7:
        return style.standardIcon(QStyle::SP_MessageBoxInformation);
    case 8:
        return QIcon::fromTheme(QStringLiteral("mail-send"), mailIcon());
    case 9:
        return QIcon::fromTheme(QStringLiteral("internet-web-browser"), webIcon());
    default:
        return {};
    }
}
