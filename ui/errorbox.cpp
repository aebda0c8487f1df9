#include "ui/errorbox.h"

#include "ui/appinfo.h"

#include <QMessageBox>

QString errorBoxText(const QString& message) {
    return message.endsWith('.') ? message : message + '.';
}

void showErrorBox(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(AppInfo::title), errorBoxText(message),
                    QMessageBox::Ok, parent);
    box.exec();
}
