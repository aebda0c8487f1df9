#pragma once

#include "hydraulics/settings.h"
#include "textfile/textfile.h"

#include <QList>
#include <QString>
#include <QStringList>

// The user's options file: where it lives, its lines, and loading and saving
// a Settings snapshot through it. Free of widgets, so the dialog and the
// command-line tool read the options the same way.

// APPDATA + "/Ostrel/FlowTest/FlowTest20.INI", the variable read on every
// call; without APPDATA the per-user configuration folder stands in.
QString optionsFileName();

// The folders to make, in order, before the options file can be written: the
// two program folders, preceded by the configuration folder itself when
// APPDATA is not set (it need not exist on a fresh account).
QStringList optionsFolders();

// The lines as written: one TestBy per tester line, then Units, ShowExtraFlow
// and ExtraPress.
QList<KeyValue> optionsLines(const Settings& settings);

// Empty tester text and U.S. units; the show-flow switch and its pressure stay.
Settings resetOptions(Settings settings);

// Resets, then applies the lines in file order: TestBy lines accumulate, later
// lines win, unknown keys and unknown units are ignored. Keys not in the lines
// leave the show-flow switch and the pressure as they were in `before`.
Settings settingsFromOptionsLines(const Settings& before, const QList<KeyValue>& lines);

// Does nothing when no file of that name exists. A file that cannot be read
// throws FileError ("Cannot open file ...") with the settings untouched.
void loadOptionsFile(const QString& fileName, Settings& settings);

// Throws FileError ("Cannot create file ...") when the file cannot be written;
// the old file then stays whole.
void saveOptionsFile(const QString& fileName, const Settings& settings);
