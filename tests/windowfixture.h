#pragma once

#include "app/ostrelflow.h"
#include "options/preferences.h"
#include "scriptedprompts.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The main window as a user starts it: in a temporary folder of its own
// that holds its options folder (APPDATA), with its Options dialog, and with
// questions and file dialogs answered by a script. GUI test classes inherit
// it and call startWindow() in init() and stopWindow() in cleanup().
class WindowFixture {
protected:
    // A new folder, the C locale, and the window shown offscreen.
    void startWindow(const QStringList& arguments = {}) {
        QLocale::setDefault(QLocale::c());
        dir_ = std::make_unique<QTemporaryDir>();
        qputenv("APPDATA", file("appdata").toLocal8Bit());
        QDir().mkpath(file("appdata"));
        restartWindow(arguments);
    }

    // The next run of the program in the same folder; `answers` answer the
    // questions it asks as it starts.
    void restartWindow(const QStringList& arguments = {},
                       std::unique_ptr<ScriptedPrompts> answers = nullptr) {
        preferences_.reset();
        window_.reset();
        window_ = std::make_unique<TFlowTest>(
            arguments, answers ? std::move(answers) : std::make_unique<ScriptedPrompts>());
        preferences_ = std::make_unique<TfrmPreferences>(window_.get());
        window_->setPreferences(preferences_.get());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void stopWindow() {
        preferences_.reset();
        window_.reset();
        dir_.reset();
    }

    ScriptedPrompts& prompts() const { return static_cast<ScriptedPrompts&>(window_->prompts()); }
    QString file(const QString& name) const { return dir_->filePath(name); }
    template <typename T> T& field(const char* name) const { return *window_->findChild<T*>(name); }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TFlowTest> window_;
    std::unique_ptr<TfrmPreferences> preferences_;
};
