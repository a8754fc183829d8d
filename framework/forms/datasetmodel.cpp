#include "datasetmodel.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/guard.h"

namespace framework {

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent), m_paintGuard(this) {}

DataSetModel::~DataSetModel() = default;

void DataSetModel::setDataSource(DataSource* source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::dataSetSwitched, this, &DataSetModel::reload);
        connect(source, &DataSource::rowsReset, this, &DataSetModel::reload);
        connect(source, &DataSource::stateChanged, this, &DataSetModel::syncRowCount);
        connect(source, &DataSource::rowChanged, this, &DataSetModel::rowValuesChanged);
        connect(source, &DataSource::dataChanged, this, [this](Field* field) {
            syncRowCount();
            if (field) {
                if (ClientDataSet* ds = dataSet())
                    rowValuesChanged(ds->currentPosition());
            } else if (m_rows > 0 && columnCount() > 0) {
                // Another record or every value: repaint what is shown; views ask only for visible cells.
                emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
            }
        });
        connect(source, &QObject::destroyed, this, [this] { setDataSource(nullptr); });
    }
    reload();
}

ClientDataSet* DataSetModel::dataSet() const
{
    if (!m_source || !m_source->Enabled())
        return nullptr;
    ClientDataSet* ds = m_source->DataSet();
    return ds && ds->Active() ? ds : nullptr;
}

TColumn* DataSetModel::AddColumn(const QString& fieldName)
{
    if (m_defaultColumns) {
        m_defaultColumns = false;
        m_columns.clear();
    }
    beginResetModel();
    m_columns.emplace_back(new TColumn(this, fieldName));
    resolveFields();
    endResetModel();
    return m_columns.back().get();
}

void DataSetModel::ClearColumns()
{
    m_defaultColumns = true;
    reload();
}

TColumn* DataSetModel::column(int index) const
{
    return index >= 0 && index < int(m_columns.size()) ? m_columns[size_t(index)].get() : nullptr;
}

int DataSetModel::columnOfField(const QString& fieldName) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i]->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

Field* DataSetModel::fieldAt(int index) const
{
    const TColumn* c = column(index);
    return c ? c->field() : nullptr;
}

int DataSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    ClientDataSet* ds = dataSet();
    Field* field = index.isValid() ? fieldAt(index.column()) : nullptr;
    if (!ds || !field || index.row() >= ds->RecordCount())
        return {};
    // Text handlers run here while the view paints: a failing one shows an empty cell.
    QString text;
    switch (role) {
    case Qt::DisplayRole:
        m_paintGuard.run([&] { text = ds->displayTextAt(index.row(), field); });
        return text;
    case Qt::EditRole:
        // The editor shows the edit text of the record it edits, which is the current one.
        m_paintGuard.run([&] {
            text = index.row() == ds->currentPosition() ? field->Text() : ds->displayTextAt(index.row(), field);
        });
        return text;
    case Qt::TextAlignmentRole:
        return int(field->Alignment() | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    ClientDataSet* ds = dataSet();
    Field* field = index.isValid() ? fieldAt(index.column()) : nullptr;
    if (role != Qt::EditRole || !ds || !field || index.row() >= ds->RecordCount())
        return false;
    return guardedOk([&] {
        if (ds->currentPosition() != index.row())
            ds->SetRecNo(index.row() + 1);
        if (ds->state() == ClientDataSet::State::Browse)
            ds->Edit();
        field->setText(value.toString());
    });
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const TColumn* c = orientation == Qt::Horizontal ? column(section) : nullptr;
    return c && role == Qt::DisplayRole ? QVariant(c->Title()) : QVariant();
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const TColumn* c = column(index.column());
    if (c && c->editable())
        f |= Qt::ItemIsEditable;
    return f;
}

void DataSetModel::columnPropertyChanged(const TColumn* column)
{
    const int i = column->Index();
    if (i < 0)
        return;
    emit headerDataChanged(Qt::Horizontal, i, i);
    emit columnChanged(i);
}

void DataSetModel::reload()
{
    m_paintGuard.rearm();
    beginResetModel();
    if (m_defaultColumns)
        rebuildDefaultColumns();
    resolveFields();
    ClientDataSet* ds = dataSet();
    m_rows = ds ? ds->RecordCount() : 0;
    endResetModel();
}

void DataSetModel::syncRowCount()
{
    ClientDataSet* ds = dataSet();
    if ((ds ? ds->RecordCount() : 0) != m_rows)
        reload();
}

void DataSetModel::rowValuesChanged(int position)
{
    syncRowCount();
    if (position >= 0 && position < m_rows && columnCount() > 0)
        emit dataChanged(index(position, 0), index(position, columnCount() - 1));
}

void DataSetModel::rebuildDefaultColumns()
{
    ClientDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    QStringList names;
    if (ds)
        for (Field* f : ds->Fields())
            if (f->Visible())
                names << f->FieldName();
    QStringList current;
    for (const auto& c : m_columns)
        current << c->FieldName();
    if (names == current)
        return; // the columns (and what the grid set on them) stay
    m_columns.clear();
    for (const QString& name : std::as_const(names))
        m_columns.emplace_back(new TColumn(this, name));
}

void DataSetModel::resolveFields()
{
    ClientDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    for (auto& c : m_columns)
        c->m_field = ds ? ds->FindField(c->FieldName()) : nullptr;
}

} // namespace framework
