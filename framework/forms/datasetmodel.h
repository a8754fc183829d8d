#pragma once

#include "column.h"
#include "paintguard.h"
#include "framework/data/datasource.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <memory>
#include <vector>

namespace framework {

class Field;

// The rows of a data source's dataset as a table, one model column per grid column. Rows are
// read from the dataset when a view asks for them (nothing is copied or cached per row), so a
// grid over a hundred thousand rows costs what its visible cells cost.
//
// The model follows the data source: another dataset, new rows, a changed row or field. Writing
// a cell sends its text through Field::setText (the field's OnSetText runs) after putting the
// dataset into edit on that row.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(QObject* parent = nullptr);
    ~DataSetModel() override;

    DataSource* dataSource() const { return m_source; }
    void setDataSource(DataSource* source);
    ClientDataSet* dataSet() const; // null unless the source has an open dataset and is enabled

    // Columns. Until one is added, the model shows every visible field of the dataset.
    TColumn* AddColumn(const QString& fieldName);
    void ClearColumns(); // back to the dataset's visible fields
    int ColumnCount() const { return int(m_columns.size()); }
    TColumn* column(int index) const;
    int columnOfField(const QString& fieldName) const; // -1 when no column shows it
    Field* fieldAt(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void columnChanged(int column); // a column's width, visibility, title or editor changed

private:
    friend class TColumn;
    void columnPropertyChanged(const TColumn* column);
    void reload();          // rows or columns changed: views start over
    void syncRowCount();    // reloads when the dataset's row count moved without a reset
    void rowValuesChanged(int position);
    void rebuildDefaultColumns();
    void resolveFields();

    QPointer<DataSource> m_source;
    std::vector<std::unique_ptr<TColumn>> m_columns;
    bool m_defaultColumns = true;
    int m_rows = 0; // row count as last announced to views
    PaintGuard m_paintGuard;
};

} // namespace framework
