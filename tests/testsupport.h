#pragma once

#include <QByteArray>
#include <QString>

// Helpers the tests share.

// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// Whether two numbers agree to 1e-9 of the expected one (absolutely, below 1).
bool closeTo(double actual, double expected);
