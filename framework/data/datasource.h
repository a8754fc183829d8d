#pragma once

#include "clientdataset.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace framework {

// Connects controls to a dataset and relays its notifications. Forms point one data source at
// different datasets (the toolbar's dtsPadrao follows the page the user is on).
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr, const QString& name = {});

    ClientDataSet* DataSet() const { return m_dataSet; }
    void setDataSet(ClientDataSet* dataSet);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    ClientDataSet::State State() const;

    std::function<void(DataSource&)> OnStateChange;
    std::function<void(DataSource&, Field*)> OnDataChange; // field null: the record changed

signals:
    void dataSetSwitched();                  // another dataset (or none) is now connected
    void stateChanged();
    void dataChanged(framework::Field* field); // field null: another record or all values
    void rowsReset();
    void rowChanged(int position);
    void updateData();                       // the dataset is about to post: write pending edits

private:
    void connectDataSet();
    QPointer<ClientDataSet> m_dataSet;
    bool m_enabled = true;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace framework
