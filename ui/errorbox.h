#pragma once

#include <QString>

class QWidget;

// The application's error box: stop icon, caption "Hydrant Flow Test", the
// message with a full stop appended when it lacks one.
QString errorBoxText(const QString& message);
void showErrorBox(QWidget* parent, const QString& message);
