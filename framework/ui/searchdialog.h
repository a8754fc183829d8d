#pragma once

#include "dialogs.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QSet>

class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace framework {

class Field;

// The rows of a dataset as the search dialog lists them: read-only display texts served on
// demand, and a check mark per row for the multi-choice list.
class SearchListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    SearchListModel(ClientDataSet& dataSet, const QStringList& fields, bool checkable, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QVector<int> checkedRows() const; // in dataset order
    void setChecked(const QVector<int>& rows);
    void toggle(int row);

private:
    ClientDataSet& m_dataSet;
    QList<Field*> m_fields;
    bool m_checkable;
    QSet<int> m_checked;
};

// The modal search dialog of the Qt face.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    SearchDialog(const SearchRequest& request, QWidget* parent = nullptr);
    QVector<int> chosenRows() const;

private:
    void applyFilter(const QString& text);
    int currentSourceRow() const;

    SearchRequest::Mode m_mode;
    SearchListModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QTableView* m_view;
    QLineEdit* m_filter = nullptr;
};

// The fields a search shows: the requested ones, else the dataset's visible fields.
QList<Field*> searchFields(ClientDataSet& dataSet, const QStringList& names);

} // namespace framework
