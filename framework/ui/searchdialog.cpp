#include "searchdialog.h"

#include "guard.h"
#include "framework/data/clientdataset.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace framework {

QList<Field*> searchFields(ClientDataSet& dataSet, const QStringList& names)
{
    QList<Field*> fields;
    if (!names.isEmpty()) {
        for (const QString& name : names)
            fields << dataSet.FieldByName(name);
        return fields;
    }
    for (Field* field : dataSet.Fields()) {
        if (field->Visible())
            fields << field;
    }
    return fields;
}

SearchListModel::SearchListModel(ClientDataSet& dataSet, const QStringList& fields, bool checkable, QObject* parent)
    : QAbstractTableModel(parent), m_dataSet(dataSet), m_fields(searchFields(dataSet, fields)), m_checkable(checkable)
{
}

int SearchListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_dataSet.RecordCount();
}

int SearchListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant SearchListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    Field* field = m_fields[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return m_dataSet.displayTextAt(index.row(), field);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(field->Alignment() | Qt::AlignVCenter);
    case Qt::CheckStateRole:
        if (m_checkable && index.column() == 0)
            return m_checked.contains(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool SearchListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_checkable || role != Qt::CheckStateRole || index.column() != 0)
        return false;
    if (value.toInt() == Qt::Checked)
        m_checked.insert(index.row());
    else
        m_checked.remove(index.row());
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

QVariant SearchListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_fields.size())
        return m_fields[section]->DisplayLabel();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags SearchListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_checkable && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVector<int> SearchListModel::checkedRows() const
{
    QVector<int> rows(m_checked.begin(), m_checked.end());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SearchListModel::setChecked(const QVector<int>& rows)
{
    m_checked = QSet<int>(rows.begin(), rows.end());
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void SearchListModel::toggle(int row)
{
    const QModelIndex cell = index(row, 0);
    setData(cell, m_checked.contains(row) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

SearchDialog::SearchDialog(const SearchRequest& request, QWidget* parent)
    : QDialog(parent), m_mode(request.mode),
      m_model(new SearchListModel(*request.dataSet, request.fields, request.mode == SearchRequest::Mode::List, this)),
      m_proxy(new QSortFilterProxyModel(this)), m_view(new QTableView(this))
{
    setObjectName(QStringLiteral("frmPesquisa"));
    setWindowTitle(request.title);
    m_model->setChecked(request.preselected);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setFilterKeyColumn(request.alternative && m_model->columnCount() > 1 ? 1 : 0);

    m_view->setObjectName(QStringLiteral("dbgPesquisa"));
    m_view->setModel(m_proxy);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    if (m_proxy->rowCount() > 0)
        m_view->setCurrentIndex(m_proxy->index(qMax(0, request.dataSet->RecNo() - 1), 0));

    auto* layout = new QVBoxLayout(this);
    if (m_mode == SearchRequest::Mode::Plus) {
        m_filter = new QLineEdit(this);
        m_filter->setObjectName(QStringLiteral("edtFiltro"));
        m_filter->setPlaceholderText(QStringLiteral("Digite para filtrar"));
        layout->addWidget(m_filter);
        guardedConnect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) { applyFilter(text); });
    }
    layout->addWidget(m_view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    guardedConnect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (m_mode == SearchRequest::Mode::List)
            m_model->toggle(m_proxy->mapToSource(index).row());
        else
            accept();
    });
    resize(560, 420);
}

void SearchDialog::applyFilter(const QString& text)
{
    m_proxy->setFilterFixedString(text);
    if (m_proxy->rowCount() > 0)
        m_view->setCurrentIndex(m_proxy->index(0, 0));
}

int SearchDialog::currentSourceRow() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? m_proxy->mapToSource(current).row() : -1;
}

QVector<int> SearchDialog::chosenRows() const
{
    if (m_mode == SearchRequest::Mode::List)
        return m_model->checkedRows();
    const int row = currentSourceRow();
    return row < 0 ? QVector<int>{} : QVector<int>{row};
}

} // namespace framework
