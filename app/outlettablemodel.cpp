#include "app/outlettablemodel.h"

#include <QApplication>
#include <QPalette>

#include <array>

OutletTableModel::OutletTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int OutletTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int OutletTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : OutletRow::ColumnCount;
}

QVariant OutletTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(index.row(), index.column());
    case Qt::ToolTipRole:
        return hint(index.column());
    case Qt::BackgroundRole:
        // The label column is drawn like the title row.
        if (index.column() == OutletRow::Label)
            return QApplication::palette().button();
        return {};
    case Qt::ForegroundRole:
        if (index.column() == OutletRow::Label)
            return QApplication::palette().buttonText();
        return {};
    default:
        return {};
    }
}

bool OutletTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

QVariant OutletTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= OutletRow::ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return title(section, units_);
    if (role == Qt::ToolTipRole)
        return hint(section);
    return {};
}

Qt::ItemFlags OutletTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.column() == OutletRow::Label)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void OutletTableModel::setUnits(UnitSystem units) {
    units_ = units;
    emit headerDataChanged(Qt::Horizontal, 0, OutletRow::ColumnCount - 1);
}

QString OutletTableModel::title(int column, UnitSystem units) {
    const UnitTexts& unit = unitTexts(units);
    const auto withUnit = [](const char* caption, const QString& unitText) {
        return QString::fromLatin1(caption) + QStringLiteral(" [") + unitText + QLatin1Char(']');
    };
    switch (column) {
    case OutletRow::Label:
        return QStringLiteral("Outlet");
    case OutletRow::Elev:
        return withUnit("Elev", unit.length);
    case OutletRow::Size:
        return withUnit("Size", unit.size);
    case OutletRow::C:
        return QStringLiteral("C");
    case OutletRow::Pitot:
        return withUnit("Pitot", unit.pressure);
    case OutletRow::Flow:
        return withUnit("*Flow", unit.flow);
    }
    return {};
}

QString OutletTableModel::hint(int column) {
    static const std::array<const char*, OutletRow::ColumnCount> hints = {
        "discharging outlet number",          "elevation of outlet",
        "internal diameter of outlet",        "outlet roughness coefficient",
        "measured pitot (velocity) pressure", "measured rate of discharge",
    };
    if (column < 0 || column >= OutletRow::ColumnCount)
        return {};
    return QString::fromLatin1(hints[static_cast<size_t>(column)]);
}

void OutletTableModel::setOutlets(QList<OutletRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    derived_ = QList<DerivedCells>(rows_.size());
    endResetModel();
}

void OutletTableModel::setCell(int outlet, int column, const QString& text) {
    if (rows_[outlet][column] == text)
        return;
    rows_[outlet][column] = text;
    const QModelIndex changed = index(outlet, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void OutletTableModel::appendOutlet(const OutletRow& row) {
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.append(row);
    derived_.append(DerivedCells{});
    endInsertRows();
}

void OutletTableModel::removeLastOutlet() {
    if (rows_.isEmpty())
        return;
    const int at = static_cast<int>(rows_.size()) - 1;
    beginRemoveRows({}, at, at);
    rows_.removeLast();
    derived_.removeLast();
    endRemoveRows();
}
