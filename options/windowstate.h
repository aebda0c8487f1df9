#pragma once

#include <QList>
#include <QString>

#include "textfile/textfile.h"

// What the windows remember between runs that the options do not hold
// (where the file dialogs start, where a window stood). It is kept in its
// own file beside the options file, never in FlowTest20.INI, as key = value
// lines. It is a convenience: a state file that is missing, unreadable or
// of any content gives an empty state, and one that cannot be written is
// left as it was.
class WindowState {
public:
    // APPDATA + "/Ostrel/FlowTest/WindowState.INI", like the options file.
    static QString defaultFileName();
    // Beside it, the folder of the recovery files: ".../FlowTest/Recovery".
    static QString recoveryFolder();

    static WindowState load(const QString& fileName);
    // True when the state was written.
    bool save(const QString& fileName) const;

    // Empty when the key is not held; keys ignore the case of A-Z.
    QString value(QLatin1StringView key) const;
    void setValue(QLatin1StringView key, const QString& value);

private:
    QList<KeyValue> lines_;
};
