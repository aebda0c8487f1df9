#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Creates each folder that does not exist yet, one level at a time, in the
// given order. Returns the error text of the first failure ("File access
// denied", "Invalid filename", ...), without a full stop.
std::optional<QString> createMissingFolders(const QStringList& folders);

// The error text for an operating-system error number.
QString ioErrorText(int systemError);
