#include "options/windowstate.h"

#include "options/optionsfile.h"
#include "textfile/fileaccess.h"

#include <QFileInfo>

namespace {
// A state file is a few lines; anything larger is not one of ours.
constexpr qint64 maxStateFileBytes = 64 * 1024;
} // namespace

QString WindowState::defaultFileName() {
    return QFileInfo(optionsFileName()).path() + QStringLiteral("/WindowState.INI");
}

QString WindowState::recoveryFolder() {
    return QFileInfo(optionsFileName()).path() + QStringLiteral("/Recovery");
}

WindowState WindowState::load(const QString& fileName) {
    WindowState state;
    if (!isRegularFile(fileName))
        return state;
    try {
        const QByteArray bytes = readWholeFile(fileName, maxStateFileBytes);
        state.lines_ = parseKeyValueText(bytes);
    } catch (const FileError&) {
        // An unreadable state is an empty one.
    }
    return state;
}

bool WindowState::save(const QString& fileName) const {
    try {
        writeKeyValueFile(fileName, lines_);
        return true;
    } catch (const FileError&) {
        return false;
    }
}

QString WindowState::value(QLatin1StringView key) const {
    QString found;
    for (const KeyValue& line : lines_)
        if (keyIs(line, key))
            found = line.value; // the last line wins, as in the options file
    return found;
}

void WindowState::setValue(QLatin1StringView key, const QString& value) {
    lines_.removeIf([key](const KeyValue& line) { return keyIs(line, key); });
    lines_.append(KeyValue{QString(key), value});
}
