#pragma once

#include "app/userprompts.h"
#include "ui/errorbox.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Answers the main window's questions and file dialogs from a script and
// records what was asked, so command tests run without modal windows.
class ScriptedPrompts : public UserPrompts {
public:
    QQueue<bool> yesNoAnswers;   // an empty queue answers No
    int escapes = 0;             // the next save-first questions are escaped
    QQueue<QString> openAnswers; // an empty queue cancels
    QQueue<QString> saveAnswers;
    QStringList questions;
    QStringList errors;
    QStringList addresses;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    // Run after a file was chosen and before the command goes on: what
    // another program could do while the dialog closes.
    std::function<void(const QString&)> afterChoosing;

    bool askYesNo(QWidget*, const QString& text) override {
        questions.append(text);
        return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
    }
    Answer askSaveFirst(QWidget* parent, const QString& text) override {
        if (escapes > 0) {
            --escapes;
            questions.append(text);
            return Answer::Cancel;
        }
        return askYesNo(parent, text) ? Answer::Yes : Answer::No;
    }
    QString chooseFileToOpen(QWidget*, const FileDialogRequest& request) override {
        openRequests.append(request);
        return chosen(openAnswers);
    }
    QString chooseFileToSave(QWidget*, const FileDialogRequest& request) override {
        saveRequests.append(request);
        return chosen(saveAnswers);
    }
    void showError(QWidget*, const QString& message) override { errors.append(errorBoxText(message)); }
    void openAddress(const QString& address) override { addresses.append(address); }

private:
    QString chosen(QQueue<QString>& answers) {
        const QString name = answers.isEmpty() ? QString() : answers.dequeue();
        if (!name.isEmpty() && afterChoosing)
            afterChoosing(name);
        return name;
    }
};
