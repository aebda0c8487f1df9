#include "ui/keypress.h"

#include <QKeyEvent>

std::optional<QChar> typedCharacter(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return std::nullopt;
    if (key == Qt::Key_Backspace)
        return QChar(8);
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return QChar(13);
    if (key == Qt::Key_Escape)
        return QChar(27);
    const bool control = event.modifiers().testFlag(Qt::ControlModifier);
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(key - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty() || control)
        return std::nullopt;
    const QChar c = text.front();
    if (c.unicode() == 0x7F)
        return std::nullopt;
    return c;
}
