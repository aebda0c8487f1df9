#pragma once

#include <QString>

#include <memory>

class QFileDialog;
class QWidget;

// Every modal question, file dialog and error box of the main window goes
// through this seam, so tests can answer them.
struct FileDialogRequest {
    QString filter;        // "caption|patterns", e.g. "Ostrel Hydrant Flow Test |*.oft;*oft"
    QString defaultSuffix; // added when the typed name has none
    QString initialName;   // offered name (full path for Open, file part for Save)
    QString startFolder;   // where the dialog opens; the platform's choice when empty
};

// What the user made of a question whose No discards work.
enum class Answer { Yes, No, Cancel };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // Warning box titled "Warning" with &Yes / &No; true only for Yes.
    // Escape and closing the box answer No.
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // The same box, asked before unsaved work would be lost: only the No
    // button discards, while Escape or closing the box cancel the command.
    virtual Answer askSaveFirst(QWidget* parent, const QString& text) = 0;
    // Empty when cancelled.
    virtual QString chooseFileToOpen(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString chooseFileToSave(QWidget* parent, const FileDialogRequest& request) = 0;
    // The application's error box: stop icon, caption "Hydrant Flow Test".
    virtual void showError(QWidget* parent, const QString& message) = 0;
    // Hands a web or mail address to the desktop; a missing handler is ignored.
    virtual void openAddress(const QString& address) = 0;
};

// A filter in the "caption|pattern;pattern" form (pairs may repeat) in
// Qt's "caption (pattern pattern)" form, keeping the caption and patterns:
// "Ostrel Hydrant Flow Test |*.oft;*oft" -> "Ostrel Hydrant Flow Test (*.oft *oft)".
QString qtNameFilter(const QString& filter);

// The open dialog admits only test files that could be saved back where they
// are: a read-only file, or one in a write-protected folder, is refused, and
// so is a device, FIFO or socket. The reason shown; empty when admitted.
QString openRefusal(const QString& fileName);
bool openRefuses(const QString& fileName);

// The real dialogs, ready to show: Open admits only existing files that
// openRefuses() lets through; Save refuses a name in a folder that does not
// exist. Both stay open after a refusal.
std::unique_ptr<QFileDialog> makeOpenDialog(QWidget* parent, const FileDialogRequest& request);
std::unique_ptr<QFileDialog> makeSaveDialog(QWidget* parent, const FileDialogRequest& request);

class DialogPrompts : public UserPrompts {
public:
    bool askYesNo(QWidget* parent, const QString& text) override;
    Answer askSaveFirst(QWidget* parent, const QString& text) override;
    QString chooseFileToOpen(QWidget* parent, const FileDialogRequest& request) override;
    QString chooseFileToSave(QWidget* parent, const FileDialogRequest& request) override;
    void showError(QWidget* parent, const QString& message) override;
    void openAddress(const QString& address) override;
};
