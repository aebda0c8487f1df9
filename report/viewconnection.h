#pragma once

#include "report/dataconnection.h"

#include <cstddef>
#include <utility>

// What a report's data views share: a connection whose handlers are methods
// of the views, and column tables declared once, each column's value read
// from the views.

template <typename Views> class ViewConnection : public DataConnection {
public:
    using Handler = void (Views::*)(DataConnection&);

    ViewConnection(QString name, Views& views, Handler first, Handler cols, Handler row)
        : name_(std::move(name)), views_(views), first_(first), cols_(cols), row_(row) {}

    QString name() const override { return name_; }
    void OnFirst() override { (views_.*first_)(*this); }
    void OnGetCols() override { (views_.*cols_)(*this); }
    void OnGetRow() override { (views_.*row_)(*this); }

private:
    QString name_;
    Views& views_;
    Handler first_;
    Handler cols_;
    Handler row_;
};

// A column of a data view: its name and type, and its value in row `row`.
template <typename Views> struct ViewColumn {
    const char* name;
    ColumnType type;
    ColumnValue (*value)(const Views& views, int row);
};

template <typename Views, std::size_t count>
void declareColumns(DataConnection& connection, const ViewColumn<Views> (&columns)[count]) {
    for (const ViewColumn<Views>& column : columns)
        connection.declareColumn(QString::fromLatin1(column.name), column.type);
}

// Text columns are written as strings, memo and graphic columns as blocks.
template <typename Views, std::size_t count>
void writeRow(DataConnection& connection, const ViewColumn<Views> (&columns)[count],
              const Views& views) {
    for (const ViewColumn<Views>& column : columns) {
        const ColumnValue value = column.value(views, connection.rowIndex());
        if (const auto* text = std::get_if<QString>(&value))
            connection.writeText(*text);
        else
            connection.writeBlock(std::get<QByteArray>(value));
    }
}

// A connection that reads a column table, `rows` rows of it.
template <typename Views, std::size_t count> class TableConnection : public DataConnection {
public:
    TableConnection(QString name, const Views& views, const ViewColumn<Views> (&columns)[count],
                    int rows = 1)
        : name_(std::move(name)), views_(views), columns_(columns), rows_(rows) {}

    QString name() const override { return name_; }
    void OnFirst() override { setRowCount(rows_); }
    void OnGetCols() override { declareColumns(*this, columns_); }
    void OnGetRow() override { writeRow(*this, columns_, views_); }

private:
    QString name_;
    const Views& views_;
    const ViewColumn<Views> (&columns_)[count];
    int rows_;
};
