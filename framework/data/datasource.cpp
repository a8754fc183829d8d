#include "datasource.h"

namespace framework {

DataSource::DataSource(QObject* parent, const QString& name) : QObject(parent) { setObjectName(name); }

void DataSource::setDataSet(ClientDataSet* dataSet)
{
    if (m_dataSet == dataSet)
        return;
    for (const auto& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_dataSet = dataSet;
    connectDataSet();
    emit dataSetSwitched();
    emit stateChanged();
    emit rowsReset();
    emit dataChanged(nullptr);
    if (OnStateChange)
        OnStateChange(*this);
}

void DataSource::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit dataSetSwitched();
    emit stateChanged();
}

ClientDataSet::State DataSource::State() const
{
    return m_dataSet && m_enabled ? m_dataSet->state() : ClientDataSet::State::Inactive;
}

void DataSource::connectDataSet()
{
    if (!m_dataSet)
        return;
    ClientDataSet* ds = m_dataSet;
    m_connections << connect(ds, &ClientDataSet::stateChanged, this, [this] {
        if (!m_enabled)
            return;
        emit stateChanged();
        if (OnStateChange)
            OnStateChange(*this);
    });
    m_connections << connect(ds, &ClientDataSet::currentChanged, this, [this] {
        if (!m_enabled)
            return;
        emit dataChanged(nullptr);
        if (OnDataChange)
            OnDataChange(*this, nullptr);
    });
    m_connections << connect(ds, &ClientDataSet::fieldChanged, this, [this](Field* field) {
        if (!m_enabled)
            return;
        emit dataChanged(field);
        if (OnDataChange)
            OnDataChange(*this, field);
    });
    m_connections << connect(ds, &ClientDataSet::rowsReset, this, [this] {
        if (m_enabled)
            emit rowsReset();
    });
    m_connections << connect(ds, &ClientDataSet::rowChanged, this, [this](int position) {
        if (m_enabled)
            emit rowChanged(position);
    });
    m_connections << connect(ds, &ClientDataSet::aboutToPost, this, [this] {
        if (m_enabled)
            emit updateData();
    });
    m_connections << connect(ds, &QObject::destroyed, this, [this] {
        m_connections.clear();
        emit dataSetSwitched();
    });
}

} // namespace framework
