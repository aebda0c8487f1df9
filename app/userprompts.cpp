#include "app/userprompts.h"

#include "textfile/fileaccess.h"
#include "ui/errorbox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <functional>

namespace {

// The warning box with &Yes (the default) and &No. Escape and the close
// box press `escape`: No, or an invisible Cancel that only they reach.
Answer askInWarningBox(QWidget* parent, const QString& text, bool escapeCancels) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::NoButton,
                    parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    if (escapeCancels) {
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        cancel->hide();
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(no);
    }
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    return box.clickedButton() == no ? Answer::No : Answer::Cancel;
}

} // namespace

bool DialogPrompts::askYesNo(QWidget* parent, const QString& text) {
    return askInWarningBox(parent, text, false) == Answer::Yes;
}

Answer DialogPrompts::askSaveFirst(QWidget* parent, const QString& text) {
    return askInWarningBox(parent, text, true);
}

QString qtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString caption = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        const QString list = patterns.join(QLatin1Char(' '));
        // A caption that already ends with its patterns, "pdf files (*.pdf)",
        // is not given them twice.
        entries.append(caption.endsWith(QLatin1Char('(') + list + QLatin1Char(')'))
                           ? caption
                           : caption + QStringLiteral(" (") + list + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

QString openRefusal(const QString& fileName) {
    switch (targetKind(fileName)) {
    case EntryKind::File:
        if (isWriteProtected(fileName) || isWriteProtected(QFileInfo(fileName).path()))
            return QStringLiteral("This file is read-only or in a write-protected folder. "
                                  "Choose another file.");
        return {};
    case EntryKind::Other:
        return QStringLiteral("This is not a file but a device, a pipe or a socket. "
                              "Choose a test file.");
    default:
        return {};
    }
}

bool openRefuses(const QString& fileName) {
    return !openRefusal(fileName).isEmpty();
}

namespace {

// The program's own file dialog, so the same rules hold on every desktop:
// it refuses a chosen name that the command could not use and stays open.
class TestFileDialog : public QFileDialog {
public:
    using Refusal = std::function<QString(const QFileInfo&)>; // empty when accepted

    TestFileDialog(QWidget* parent, const FileDialogRequest& request, AcceptMode mode,
                   Refusal refusal)
        : QFileDialog(parent), refusal_(std::move(refusal)) {
        setOption(QFileDialog::DontUseNativeDialog, true);
        setOption(QFileDialog::ReadOnly, false);
        setAcceptMode(mode);
        setFileMode(mode == AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        // The caller asks its own overwrite question.
        setOption(QFileDialog::DontConfirmOverwrite, true);
        setNameFilter(qtNameFilter(request.filter));
        setDefaultSuffix(request.defaultSuffix);
        if (!request.startFolder.isEmpty())
            setDirectory(request.startFolder);
        if (!request.initialName.isEmpty())
            selectFile(request.initialName);
    }

    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo chosen(files.constFirst());
            // A folder is entered by the dialog itself.
            if (!chosen.isDir()) {
                if (const QString reason = refusal_(chosen); !reason.isEmpty()) {
                    QMessageBox::warning(this, windowTitle(),
                                         chosen.fileName() + QLatin1Char('\n') + reason);
                    return;
                }
            }
        }
        QFileDialog::accept();
    }

private:
    Refusal refusal_;
};

QString chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::unique_ptr<QFileDialog> makeOpenDialog(QWidget* parent, const FileDialogRequest& request) {
    return std::make_unique<TestFileDialog>(
        parent, request, QFileDialog::AcceptOpen,
        [](const QFileInfo& chosen) { return openRefusal(chosen.filePath()); });
}

std::unique_ptr<QFileDialog> makeSaveDialog(QWidget* parent, const FileDialogRequest& request) {
    return std::make_unique<TestFileDialog>(
        parent, request, QFileDialog::AcceptSave, [](const QFileInfo& chosen) {
            return chosen.dir().exists()
                       ? QString()
                       : QStringLiteral("The folder does not exist. Check the path and try again.");
        });
}

QString DialogPrompts::chooseFileToOpen(QWidget* parent, const FileDialogRequest& request) {
    return chosenFile(*makeOpenDialog(parent, request));
}

QString DialogPrompts::chooseFileToSave(QWidget* parent, const FileDialogRequest& request) {
    return chosenFile(*makeSaveDialog(parent, request));
}

void DialogPrompts::showError(QWidget* parent, const QString& message) {
    showErrorBox(parent, message);
}

void DialogPrompts::openAddress(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}
