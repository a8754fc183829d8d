#pragma once

#include "datalink.h"

#include <QComboBox>
#include <QPointer>

namespace framework {

// A drop-down list over a text field. The field stores the chosen item's text, or with Values
// set the value at the item's position ("Horas" shown, "H" stored). Choosing an item puts a
// browsing dataset into edit and writes through Field::setText; a refused edit shows the field
// again. A value not in the list shows no item.
class TDBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBComboBox(QWidget* parent = nullptr, const QString& name = {});

    framework::DataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(framework::DataSource* source) { m_link->setDataSource(source); }
    const QString& DataField() const { return m_link->DataField(); }
    void setDataField(const QString& name) { m_link->setDataField(name); }

    void setItems(const QStringList& items);
    void setValues(const QStringList& values);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

private:
    void showField();
    void choose(int index);
    QString storedValue(int index) const;
    void refreshState();

    FieldDataLink* m_link;
    QStringList m_values;
    bool m_readOnly = false;
};

// A drop-down list whose items are the rows of another dataset (ListSource): it shows ListField
// and stores KeyField's value into the bound field.
class TDBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBLookupComboBox(QWidget* parent = nullptr, const QString& name = {});

    framework::DataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(framework::DataSource* source) { m_link->setDataSource(source); }
    const QString& DataField() const { return m_link->DataField(); }
    void setDataField(const QString& name) { m_link->setDataField(name); }

    framework::DataSource* ListSource() const { return m_listSource; }
    void setListSource(framework::DataSource* source);
    void setKeyField(const QString& name);
    void setListField(const QString& name);
    QVariant KeyValue() const { return currentData(); }

private:
    void loadItems();
    void showField();
    void choose(int index);

    FieldDataLink* m_link;
    QPointer<framework::DataSource> m_listSource;
    QMetaObject::Connection m_listConnection;
    QString m_keyField;
    QString m_listField;
};

} // namespace framework
