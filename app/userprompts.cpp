#include "app/userprompts.h"

#include "textfile/textfile.h"
#include "ui/errorbox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

bool DialogPrompts::askYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::NoButton,
                    parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

namespace {
void prepare(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
}
} // namespace

bool openRefuses(const QString& fileName) {
    const QFileInfo chosen(fileName);
    return chosen.isFile() && (isWriteProtected(chosen.filePath()) || isWriteProtected(chosen.path()));
}

namespace {
// Open admits only files that could be saved back where they are: a
// read-only file or one in a write-protected folder is refused.
class OpenTestDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && openRefuses(files.constFirst())) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("%1\nThis file is read-only or in a write-protected "
                                                "folder. Choose another file.")
                                     .arg(QFileInfo(files.constFirst()).fileName()));
            return;
        }
        QFileDialog::accept();
    }
};
} // namespace

QString DialogPrompts::chooseFileToOpen(QWidget* parent, const FileDialogRequest& request) {
    OpenTestDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepare(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString DialogPrompts::chooseFileToSave(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    prepare(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void DialogPrompts::showError(QWidget* parent, const QString& message) {
    showErrorBox(parent, message);
}
