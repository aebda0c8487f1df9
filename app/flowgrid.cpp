#include "app/flowgrid.h"

#include "hydraulics/derivedcells.h"
#include "hydraulics/discharge.h"
#include "hydraulics/keyfilters.h"
#include "hydraulics/numbertext.h"
#include "ui/keypress.h"
#include "ui/textfields.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyledItemDelegate>

#include <array>

namespace {
constexpr int gridRowHeight = 24;
constexpr int gridLineWidth = 1;
} // namespace

// Creates the always-open editor and routes its keys to the grid instead of
// the default delegate handling (which would close it on Enter).
class CellEditorDelegate : public QStyledItemDelegate {
public:
    explicit CellEditorDelegate(FlowGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        // Cells have no length limit.
        makeNumberField(*editor, FlowGrid::filterOfColumn(index.column()));
        editor->setFrame(false);
        editor->setToolTip(OutletTableModel::hint(index.column()));
        // Screen readers name a cell by its column's title and the outlet.
        const QAbstractItemModel& cells = *index.model();
        editor->setAccessibleName(cells.headerData(index.column(), Qt::Horizontal).toString() +
                                  QLatin1Char(' ') +
                                  cells.index(index.row(), OutletRow::Label).data().toString());
        const QPersistentModelIndex cell(index);
        FlowGrid* grid = &grid_;
        QObject::connect(editor, &QLineEdit::textChanged, editor,
                         [grid, cell](const QString& text) {
                             if (cell.isValid())
                                 grid->cellEdited(cell.row(), cell.column(), text);
                         });
        QObject::connect(editor, &QLineEdit::textEdited, &grid_, &FlowGrid::cellsChanged);
        if (index.column() == OutletRow::C) {
            editor->setContextMenuPolicy(Qt::CustomContextMenu);
            QObject::connect(editor, &QWidget::customContextMenuRequested, editor,
                             [grid = &grid_, editor](const QPoint& at) {
                                 grid->coefficientMenu(*editor)->exec(editor->mapToGlobal(at));
                             });
        }
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text)
            setWholeText(*line, text); // the cell's text as it stands, unfiltered
    }

    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {
        // Every change is already in the cell.
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* editor = qobject_cast<QLineEdit*>(object);
        return editor && grid_.editorKeyPress(*editor, static_cast<QKeyEvent&>(*event));
    }

private:
    FlowGrid& grid_;
};

FlowGrid::FlowGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("FlowGrid"));
    setModel(&model_);
    setItemDelegate(new CellEditorDelegate(*this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    // Tab still enters the grid; a click does not focus the view first, which
    // would pass the focus through the old cell and announce the table.
    setFocusPolicy(Qt::TabFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(gridRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(gridRowHeight);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setToolTip(QString());
}

void FlowGrid::setTabNeighbours(QWidget* previous, QWidget* next) {
    tabPrevious_ = previous;
    tabNext_ = next;
}

UnitSystem FlowGrid::units() const {
    return unitsSource_ ? unitsSource_() : UnitSystem::US;
}

void FlowGrid::setUp(UnitSystem units) {
    OutletRow first;
    first[OutletRow::Label] = QStringLiteral("#1");
    setOutletRows({first});
    SetGridHeaders(units);
    spreadColumns();
}

void FlowGrid::SetGridHeaders(UnitSystem units) {
    model_.setUnits(units);
}

void FlowGrid::spreadColumns() {
    const int available = viewport()->width() - OutletRow::ColumnCount * gridLineWidth;
    const int width = available / OutletRow::ColumnCount;
    // Each section holds its cell and the grid line after it.
    for (int column = 0; column < OutletRow::ColumnCount - 1; ++column)
        setColumnWidth(column, width + gridLineWidth);
    setColumnWidth(OutletRow::ColumnCount - 1,
                   available - (OutletRow::ColumnCount - 1) * width + gridLineWidth);
}

void FlowGrid::addOutlet() {
    OutletRow row;
    row[OutletRow::Label] = QStringLiteral("#%1").arg(model_.rowCount() + 1);
    model_.appendOutlet(row);
}

bool FlowGrid::removeLastOutlet() {
    const int count = model_.rowCount();
    if (count < 2)
        return false;
    const QModelIndex current = currentIndex();
    const bool currentDropped = current.row() == count - 1;
    const int column = current.isValid() ? current.column() : OutletRow::Elev;
    if (currentDropped)
        closePersistentEditor(current);
    // Without this the view would move the current cell on its own.
    selectionModel()->blockSignals(true);
    model_.removeLastOutlet();
    selectionModel()->blockSignals(false);
    if (currentDropped) {
        // Entering the same column of the new last row fills it as usual.
        setCurrentCell(column, count - 1);
    }
    return true;
}

void FlowGrid::setOutletRows(const QList<OutletRow>& rows) {
    const bool hadFocus = hasFocus() || (cellEditor() && cellEditor()->hasFocus());
    if (cellEditor())
        closePersistentEditor(currentIndex());
    model_.setOutlets(rows);
    if (!rows.isEmpty())
        setCurrentCell(OutletRow::Elev, 1);
    if (hadFocus)
        setFocus();
}

void FlowGrid::setCurrentCell(int column, int row) {
    const QModelIndex target = model_.index(row - 1, column);
    if (!target.isValid())
        return;
    if (target == currentIndex()) {
        // Entering the current cell again still counts as entering it.
        FlowGridSelectCell(column, row);
        if (!cellEditor())
            openPersistentEditor(target);
        return;
    }
    setCurrentIndex(target);
}

QLineEdit* FlowGrid::cellEditor() const {
    return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

void FlowGrid::FlowGridSelectCell(int column, int row) {
    const int outlet = row - 1;
    if (outlet < 0 || outlet >= model_.rowCount() || column < OutletRow::Elev)
        return;
    if (!model_.cell(outlet, column).isEmpty())
        return;
    const OutletRow& values = model_.outlets()[outlet];
    if (column == OutletRow::Pitot) {
        model_.setCell(outlet, column, ComputePitot(values, units()));
        model_.derivedCells(outlet).pitotFilled = !model_.cell(outlet, column).isEmpty();
    } else if (column == OutletRow::Flow) {
        model_.setCell(outlet, column, ComputeFlow(values, units()));
    }
    if (model_.cell(outlet, column).isEmpty() && row >= 2)
        model_.setCell(outlet, column, model_.cell(outlet - 1, column));
    // What the grid fills in is part of the test, to be saved like typing.
    if (!model_.cell(outlet, column).isEmpty())
        emit cellsChanged();
}

void FlowGrid::cellEdited(int outlet, int column, const QString& text) {
    if (outlet >= model_.rowCount() || model_.cell(outlet, column) == text)
        return;
    const OutletRow after =
        rowAfterEdit(model_.outlets()[outlet], column, text, model_.derivedCells(outlet), units(),
                     localeDecimalSeparator());
    model_.setCell(outlet, column, text);
    bool followed = false;
    for (int other = OutletRow::Elev; other < OutletRow::ColumnCount; ++other) {
        if (other == column || after[other] == model_.cell(outlet, other))
            continue;
        model_.setCell(outlet, other, after[other]);
        followed = true;
    }
    // A computed cell that follows is a change of the test like the edit.
    if (followed)
        emit cellsChanged();
}

std::unique_ptr<QMenu> FlowGrid::coefficientMenu(QLineEdit& editor) {
    // The coefficients NFPA 291 gives for the usual outlet shapes.
    static const std::array<std::pair<const char*, const char*>, 4> coefficients{{
        {"9", "smooth and well rounded"},
        {"8", "square and sharp"},
        {"7", "square and projecting into the barrel"},
        {"95", "with a flow tube"},
    }};
    std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
    menu->addSection(QStringLiteral("Usual coefficients"));
    for (const auto& [digits, shape] : coefficients) {
        // Typed as the user would type it, with their decimal separator.
        const QString value = QLatin1Char('0') + localeDecimalSeparator() + QLatin1String(digits);
        QAction* action =
            menu->addAction(value + QStringLiteral(" \u2013 ") + QLatin1String(shape));
        connect(action, &QAction::triggered, &editor, [this, &editor, value] {
            editor.selectAll();
            editor.insert(value);
            emit cellsChanged();
        });
    }
    return menu;
}

CharacterFilter FlowGrid::filterOfColumn(int column) {
    return column == OutletRow::Elev ? FilterRealKey : FilterPosRealKey;
}

void FlowGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (current.isValid() && current.column() == OutletRow::Label) {
        // The label column is fixed: the current cell never rests there.
        setCurrentIndex(model_.index(current.row(), OutletRow::Elev));
        return;
    }
    const QPersistentModelIndex left = editorCell_;
    const auto* oldEditor = qobject_cast<const QLineEdit*>(indexWidget(left));
    const bool editorHadFocus = oldEditor && oldEditor->hasFocus();
    if (current.isValid())
        FlowGridSelectCell(current.column(), current.row() + 1);
    QTableView::currentChanged(current, previous);
    editorCell_ = current;
    if (current.isValid()) {
        openPersistentEditor(current);
        if (editorHadFocus || hasFocus())
            focusCellEditor(Qt::OtherFocusReason);
    }
    // Only now that the new editor has the focus: a focused editor that
    // closes hands the focus on to the next widget of the window, and a
    // screen reader would announce that widget at every step.
    if (left != current)
        closePersistentEditor(left);
}

void FlowGrid::focusCellEditor(Qt::FocusReason reason) {
    if (QLineEdit* editor = cellEditor()) {
        editor->setFocus(reason);
        editor->selectAll();
    }
}

void FlowGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (QLineEdit* editor = cellEditor())
        editor->setFocus(event->reason());
}

void FlowGrid::mousePressEvent(QMouseEvent* event) {
    // The view itself takes no focus on a click (see the constructor): the
    // editor of the cell clicked gets it, as a cell entered by a key does.
    QTableView::mousePressEvent(event);
    if (const QLineEdit* editor = cellEditor(); editor && !editor->hasFocus())
        focusCellEditor(Qt::MouseFocusReason);
}

bool FlowGrid::editorKeyPress(QLineEdit& editor, QKeyEvent& event) {
    const int key = event.key();
    const int row = currentRow();
    const int column = currentColumn();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        QWidget* target = key == Qt::Key_Tab && !event.modifiers().testFlag(Qt::ShiftModifier)
                              ? tabNext_
                              : tabPrevious_;
        if (target)
            target->setFocus(key == Qt::Key_Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int next = row + (key == Qt::Key_Up ? -1 : 1);
        if (next >= 1 && next <= model_.rowCount())
            setCurrentCell(column, next);
        return true;
    }
    const bool noSelection = !editor.hasSelectedText();
    if (key == Qt::Key_Left && noSelection && editor.cursorPosition() == 0) {
        if (column > OutletRow::Elev)
            setCurrentCell(column - 1, row);
        return true;
    }
    if (key == Qt::Key_Right && noSelection && editor.cursorPosition() == editor.text().size()) {
        if (column < OutletRow::Flow)
            setCurrentCell(column + 1, row);
        return true;
    }
    const std::optional<QChar> typed = typedCharacter(event);
    if (!typed)
        return false;
    return FlowGridKeyPress(editor, event, *typed);
}

bool FlowGrid::FlowGridKeyPress(QLineEdit& editor, const QKeyEvent& event, QChar typed) {
    if (typed == QChar(13)) {
        moveOnAfterEnter();
        return true;
    }
    emit characterTyped();
    return numberKeyConsumed(editor, event, filterOfColumn(currentColumn()));
}

void FlowGrid::moveOnAfterEnter() {
    const int row = currentRow();
    const int column = currentColumn();
    if (column < OutletRow::Flow) {
        setCurrentCell(column + 1, row);
        return;
    }
    // The row's Elev cell fills as if entered, without the focus passing there.
    FlowGridSelectCell(OutletRow::Elev, row);
    setCurrentCell(OutletRow::Elev, row < model_.rowCount() ? row + 1 : 1);
}
