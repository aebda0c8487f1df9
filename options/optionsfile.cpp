#include "options/optionsfile.h"

#include "textfile/fileaccess.h"

#include <QStandardPaths>

#include <optional>

namespace {

const QLatin1StringView testByKey("TestBy");
const QLatin1StringView unitsKey("Units");
const QLatin1StringView showExtraFlowKey("ShowExtraFlow");
const QLatin1StringView extraPressKey("ExtraPress");

QString optionsBaseFolder() {
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return appData;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

// Unit keywords compare like the keys: only the case of A-Z is ignored.
std::optional<UnitSystem> unitsFromKeyword(const QString& value) {
    for (const UnitSystem units : unitSystems) {
        const QByteArray keyword = unitTexts(units).keyword.toLatin1();
        if (keyIs(KeyValue{value, {}}, QLatin1StringView(keyword)))
            return units;
    }
    return std::nullopt;
}

void applyOptionsLine(const KeyValue& line, Settings& settings) {
    if (keyIs(line, testByKey)) {
        settings.testedBy.append(line.value);
    } else if (keyIs(line, showExtraFlowKey)) {
        settings.showExtraFlow = line.value != QStringLiteral("F");
    } else if (keyIs(line, extraPressKey)) {
        settings.extraPressure = line.value;
    } else if (keyIs(line, unitsKey)) {
        if (const auto units = unitsFromKeyword(line.value))
            settings.units = *units;
    }
}

} // namespace

QString optionsFileName() {
    return optionsBaseFolder() + QStringLiteral("/Ostrel/FlowTest/FlowTest20.INI");
}

QStringList optionsFolders() {
    const QString base = optionsBaseFolder();
    QStringList folders;
    if (qEnvironmentVariable("APPDATA").isEmpty())
        folders.append(base);
    folders.append(base + QStringLiteral("/Ostrel"));
    folders.append(base + QStringLiteral("/Ostrel/FlowTest"));
    return folders;
}

QList<KeyValue> optionsLines(const Settings& settings) {
    QList<KeyValue> lines;
    for (const QString& tester : settings.testedBy)
        lines.append({testByKey, tester});
    lines.append({unitsKey, unitTexts(settings.units).keyword});
    lines.append(
        {showExtraFlowKey, settings.showExtraFlow ? QStringLiteral("T") : QStringLiteral("F")});
    lines.append({extraPressKey, settings.extraPressure});
    return lines;
}

Settings resetOptions(Settings settings) {
    settings.testedBy.clear();
    settings.units = UnitSystem::US;
    return settings;
}

Settings settingsFromOptionsLines(const Settings& before, const QList<KeyValue>& lines) {
    Settings settings = resetOptions(before);
    for (const KeyValue& line : lines)
        applyOptionsLine(line, settings);
    return settings;
}

void loadOptionsFile(const QString& fileName, Settings& settings) {
    if (targetKind(fileName) == EntryKind::Missing)
        return;
    settings = settingsFromOptionsLines(settings, readKeyValueFile(fileName));
}

void saveOptionsFile(const QString& fileName, const Settings& settings) {
    writeKeyValueFile(fileName, optionsLines(settings));
}
