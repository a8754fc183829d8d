#pragma once

#include "framework/data/datasource.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <functional>

namespace framework {

// Binds one control to a data source and a field name, and tells the control when to show the
// field again, when to refresh its read-only look and when to write a pending edit.
//
// The control marks a user edit with setModified(true); a pending edit survives notifications of
// other fields and is dropped when the record changes or the dataset leaves the edit state.
// Before the dataset posts, the pending edit is written (onUpdateData); a failure there
// propagates to the post, which is then refused.
class FieldDataLink : public QObject {
    Q_OBJECT
public:
    explicit FieldDataLink(QObject* control);

    framework::DataSource* DataSource() const { return m_source; }
    void setDataSource(framework::DataSource* source);
    const QString& DataField() const { return m_fieldName; }
    void setDataField(const QString& name);

    ClientDataSet* dataSet() const;
    Field* field() const;      // the bound field of an active dataset; nullptr otherwise
    bool editing() const;      // the dataset is in edit or insert state
    bool canModify() const;    // a field that the user may change
    // Puts a browsing dataset into edit (its BeforeEdit may throw); true when it is editing.
    bool edit();

    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // Writes a pending edit through onUpdateData; the edit stays pending when that throws.
    void updateRecord();
    // Drops a pending edit and shows the field again.
    void reset();

    std::function<void()> onDataChange;  // show the field's value
    std::function<void()> onStateChange; // the dataset or its state changed: refresh read-only
    std::function<void()> onUpdateData;  // write the control's value into the field

private:
    void connectSource();
    void showField();
    void stateChanged();

    QPointer<framework::DataSource> m_source;
    QString m_fieldName;
    bool m_modified = false;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace framework
