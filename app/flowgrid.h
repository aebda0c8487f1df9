#pragma once

#include "app/outlettablemodel.h"
#include "hydraulics/keyfilters.h"
#include "hydraulics/units.h"

#include <QTableView>

#include <functional>
#include <memory>

class QLineEdit;
class QMenu;

// The outlet grid: one row per flowing outlet under a title row. The cell
// editor is always open on the current cell; every change is written to
// the cell at once. Entering an empty Pitot or Flow cell computes it, and
// any cell still empty takes the value of the outlet above.
class FlowGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlowGrid(QWidget* parent = nullptr);

    OutletTableModel& outlets() { return model_; }
    const OutletTableModel& outlets() const { return model_; }

    // The unit system is read at the moment a cell is entered.
    void setUnitsSource(std::function<UnitSystem()> source) { unitsSource_ = std::move(source); }
    // Widgets that Tab and Shift+Tab move to (Tab leaves the grid).
    void setTabNeighbours(QWidget* previous, QWidget* next);

    // One empty outlet "#1", titles for the units, columns spread evenly.
    void setUp(UnitSystem units);
    void SetGridHeaders(UnitSystem units);
    void spreadColumns();

    // A new last row "#k" with empty cells; the current cell stays.
    void addOutlet();
    // Drops the last row when there are at least two; false otherwise.
    bool removeLastOutlet();
    // Replaces all rows and makes the first outlet's Elev cell current.
    void setOutletRows(const QList<OutletRow>& rows);

    // Current cell in grid terms: outlet rows count from 1, columns 0..5.
    int currentRow() const { return currentIndex().row() + 1; }
    int currentColumn() const { return currentIndex().column(); }
    void setCurrentCell(int column, int row);
    QLineEdit* cellEditor() const;

    // Automatic filling of the cell at (column, row) as it is entered.
    void FlowGridSelectCell(int column, int row);
    // The user changed a cell of outlet `outlet` (from 0) in its editor: the
    // text goes into the cell, and a computed Flow or Pitot cell of that
    // row follows it.
    void cellEdited(int outlet, int column, const QString& text);

    // The C cell's context menu: the editing commands, then the usual
    // coefficients with their outlet shapes, which replace the cell's text.
    std::unique_ptr<QMenu> coefficientMenu(QLineEdit& editor);

    // The Elev column takes signed numbers, the others unsigned ones.
    static CharacterFilter filterOfColumn(int column);

signals:
    // A character key other than Enter was pressed in the cell editor
    // (also one the filter discards): the test is modified.
    void characterTyped();
    // A cell changed otherwise than by a typed character: a paste, cut,
    // drop, undo or redo in its editor, or the grid filling it on entry.
    void cellsChanged();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    friend class CellEditorDelegate;
    bool editorKeyPress(QLineEdit& editor, QKeyEvent& event);
    // Returns true when the key press is consumed: Enter, or a character
    // that the column's filter discards or replaces.
    bool FlowGridKeyPress(QLineEdit& editor, const QKeyEvent& event, QChar typed);
    void moveOnAfterEnter();
    void focusCellEditor(Qt::FocusReason reason);
    UnitSystem units() const;

    OutletTableModel model_;
    std::function<UnitSystem()> unitsSource_;
    QWidget* tabPrevious_ = nullptr;
    QWidget* tabNext_ = nullptr;
    // The cell whose editor is open, closed only after the next one opened.
    QPersistentModelIndex editorCell_;
};
