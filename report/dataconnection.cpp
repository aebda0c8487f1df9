#include "report/dataconnection.h"

void DataConnection::declareColumn(const QString& name, ColumnType type) {
    columns_.append({name, type});
}

void DataConnection::writeText(const QString& text) {
    values_.append(text);
}

void DataConnection::writeBlock(const QByteArray& bytes) {
    values_.append(bytes);
}

void DataConnection::open() {
    rowIndex_ = 0;
    rowCount_ = 1;
    OnFirst();
}

QList<ColumnDeclaration> DataConnection::columns() {
    columns_.clear();
    OnGetCols();
    return columns_;
}

QList<ColumnValue> DataConnection::row() {
    values_.clear();
    OnGetRow();
    return values_;
}
