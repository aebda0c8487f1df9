#include "ui/windowplacement.h"

#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = window.frameGeometry().size();
    window.move(area.x() + (area.width() - outer.width()) / 2,
                area.y() + (area.height() - outer.height()) / 2);
}

QRect placeBeside(const QRect& owner, const QSize& size, const QRect& available) {
    constexpr int gap = 8;
    int left = owner.right() + 1 + gap;
    if (left + size.width() - 1 > available.right()) {
        left = owner.left() - gap - size.width();
        if (left < available.left())
            left = owner.left();
    }
    const int lowestTop = available.bottom() + 1 - size.height();
    const int top = qMax(available.top(), qMin(owner.top(), lowestTop));
    left = qMax(available.left(), qMin(left, available.right() + 1 - size.width()));
    return {QPoint(left, top), size};
}
