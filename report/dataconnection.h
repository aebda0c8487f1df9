#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <variant>

// A data view as the report engine reads it: a connection declares its
// columns and writes one row at a time, in a fixed cycle per report run:
// open (row 0 of 1), OnFirst (the program sets the row count), OnGetCols,
// then OnGetRow and next until the row index reaches the row count.

enum class ColumnType {
    Text,    // one string
    Memo,    // multi-line text as bytes: UTF-8, lines separated by CR LF
    Graphic, // a picture as the bytes of a recorded QPicture
};

struct ColumnDeclaration {
    QString name;
    ColumnType type;

    bool operator==(const ColumnDeclaration&) const = default;
};

// A text value is a string; memo and graphic values are byte blocks.
using ColumnValue = std::variant<QString, QByteArray>;

class DataConnection {
public:
    virtual ~DataConnection() = default;

    // The name the report definition binds its data view to.
    virtual QString name() const = 0;

    int rowIndex() const { return rowIndex_; }
    int rowCount() const { return rowCount_; }
    void setRowCount(int count) { rowCount_ = count; }

    // The program's handlers.
    virtual void OnFirst() {}
    virtual void OnGetCols() = 0;
    virtual void OnGetRow() = 0;

    // What the handlers call: columns are declared with a name and a type,
    // and a row is written one value per declared column, in order.
    void declareColumn(const QString& name, ColumnType type);
    void writeText(const QString& text);
    void writeBlock(const QByteArray& bytes);

    // The engine's side of the cycle.
    void open();
    QList<ColumnDeclaration> columns();
    QList<ColumnValue> row(); // the current row's values, in column order
    void next() { ++rowIndex_; }
    bool atEnd() const { return rowIndex_ >= rowCount_; }

private:
    int rowIndex_ = 0;
    int rowCount_ = 1;
    QList<ColumnDeclaration> columns_;
    QList<ColumnValue> values_;
};
