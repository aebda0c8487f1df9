#include "hydraulics/keyfilters.h"

namespace {
bool isEditingControl(QChar c) {
    return c == QChar(8) || c == QChar(13) || c == QChar(27);
}
} // namespace

bool FilterPosRealKey(QChar typed, QChar decimalSeparator) {
    return isEditingControl(typed) || (typed >= '0' && typed <= '9') || typed == decimalSeparator;
}

bool FilterRealKey(QChar typed, QChar decimalSeparator) {
    return typed == '+' || typed == '-' || FilterPosRealKey(typed, decimalSeparator);
}

QChar asDecimalSeparator(QChar c, QChar decimalSeparator) {
    return c == '.' || c == ',' ? decimalSeparator : c;
}

QString keptByFilter(QStringView text, CharacterFilter filter, QChar decimalSeparator) {
    QString kept;
    for (const QChar c : text) {
        const QChar typed = asDecimalSeparator(c, decimalSeparator);
        if (!isEditingControl(typed) && filter(typed, decimalSeparator))
            kept.append(typed);
    }
    return kept;
}
