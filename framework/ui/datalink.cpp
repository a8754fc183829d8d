#include "datalink.h"

#include "guard.h"
#include "framework/data/datasource.h"

namespace framework {

FieldDataLink::FieldDataLink(QObject* control) : QObject(control) {}

void FieldDataLink::setDataSource(framework::DataSource* source)
{
    if (m_source == source)
        return;
    for (const auto& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_source = source;
    connectSource();
    stateChanged();
}

void FieldDataLink::setDataField(const QString& name)
{
    m_fieldName = name;
    stateChanged();
}

ClientDataSet* FieldDataLink::dataSet() const
{
    return m_source && m_source->Enabled() ? m_source->DataSet() : nullptr;
}

Field* FieldDataLink::field() const
{
    ClientDataSet* ds = dataSet();
    if (!ds || !ds->Active() || m_fieldName.isEmpty())
        return nullptr;
    return ds->FindField(m_fieldName);
}

bool FieldDataLink::editing() const
{
    const ClientDataSet* ds = dataSet();
    return ds && (ds->state() == ClientDataSet::State::Edit || ds->state() == ClientDataSet::State::Insert);
}

bool FieldDataLink::canModify() const
{
    const Field* f = field();
    return f && !f->ReadOnly() && !f->Calculated();
}

bool FieldDataLink::edit()
{
    if (!canModify())
        return false;
    if (!editing())
        dataSet()->Edit();
    return editing();
}

void FieldDataLink::updateRecord()
{
    if (!m_modified || !onUpdateData)
        return;
    onUpdateData();
    m_modified = false;
}

void FieldDataLink::reset()
{
    m_modified = false;
    showField();
}

void FieldDataLink::showField()
{
    if (onDataChange)
        guarded(onDataChange);
}

void FieldDataLink::stateChanged()
{
    if (!editing())
        m_modified = false;
    if (onStateChange)
        guarded(onStateChange);
    if (!m_modified)
        showField();
}

void FieldDataLink::connectSource()
{
    if (!m_source)
        return;
    framework::DataSource* source = m_source;
    m_connections << connect(source, &DataSource::dataSetSwitched, this, [this] { stateChanged(); });
    m_connections << connect(source, &DataSource::stateChanged, this, [this] { stateChanged(); });
    m_connections << connect(source, &DataSource::rowsReset, this, [this] {
        if (!m_modified)
            showField();
    });
    m_connections << connect(source, &DataSource::dataChanged, this, [this](Field* changed) {
        if (!changed) {
            reset(); // another record
        } else if (changed == field()) {
            m_modified = false;
            showField();
        }
    });
    // A failure to write the pending edit refuses the post: the dataset throws it from Post,
    // never through this signal.
    m_connections << connect(source, &DataSource::updateData, this, [this] {
        try {
            updateRecord();
        } catch (...) {
            if (ClientDataSet* ds = dataSet())
                ds->refusePost(std::current_exception());
        }
    });
    m_connections << connect(source, &QObject::destroyed, this, [this] {
        m_source = nullptr;
        m_connections.clear();
        stateChanged();
    });
}

} // namespace framework
