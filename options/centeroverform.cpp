#include "options/centeroverform.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

QPoint centeredOverForm(QSize dialog, const QRect& mainWindow, QSize desktop) {
    int left = std::max(0, mainWindow.left() + (mainWindow.width() - dialog.width()) / 2);
    int top = std::max(0, mainWindow.top() + (mainWindow.height() - dialog.height()) / 2);
    if (left + dialog.width() >= desktop.width())
        left = desktop.width() - dialog.width();
    if (top + dialog.height() >= desktop.height())
        top = desktop.height() - dialog.height();
    return {left, top};
}

void CenterOverForm(QWidget& dialog, const QWidget& mainWindow) {
    const QScreen* screen = mainWindow.screen();
    const QSize desktop = screen ? screen->virtualSize() : QSize();
    dialog.move(
        centeredOverForm(dialog.frameGeometry().size(), mainWindow.frameGeometry(), desktop));
}
