#pragma once

#include <QString>

#include <array>

// One outlet of the test as the grid holds it: six cells of text.
struct OutletRow {
    enum Column { Label = 0, Elev = 1, Size = 2, C = 3, Pitot = 4, Flow = 5 };
    static constexpr int ColumnCount = 6;

    std::array<QString, ColumnCount> cells;

    const QString& operator[](int column) const { return cells[static_cast<size_t>(column)]; }
    QString& operator[](int column) { return cells[static_cast<size_t>(column)]; }
    bool operator==(const OutletRow&) const = default;
};
