#pragma once

#include "hydraulics/derivedcells.h"
#include "hydraulics/outletrow.h"
#include "hydraulics/units.h"

#include <QAbstractTableModel>
#include <QList>

// The outlet rows behind the grid: model row r is outlet r + 1, the grid's
// title row is the horizontal header. Column 0 (the label) is not editable.
class OutletTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OutletTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The titles for a unit system (values are never converted).
    void setUnits(UnitSystem units);
    static QString title(int column, UnitSystem units);
    static QString hint(int column);

    const QList<OutletRow>& outlets() const { return rows_; }
    void setOutlets(QList<OutletRow> rows);
    const QString& cell(int outlet, int column) const { return rows_[outlet][column]; }
    void setCell(int outlet, int column, const QString& text);
    void appendOutlet(const OutletRow& row);
    void removeLastOutlet();
    // Which computed cells of an outlet follow their inputs; none in rows
    // set or appended.
    DerivedCells& derivedCells(int outlet) { return derived_[outlet]; }

private:
    QList<OutletRow> rows_;
    QList<DerivedCells> derived_; // one per row
    UnitSystem units_ = UnitSystem::US;
};
