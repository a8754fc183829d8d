#include "dbcombobox.h"

#include "guard.h"

namespace framework {

TDBComboBox::TDBComboBox(QWidget* parent, const QString& name) : QComboBox(parent), m_link(new FieldDataLink(this))
{
    setObjectName(name);
    m_link->onDataChange = [this] { showField(); };
    m_link->onStateChange = [this] { refreshState(); };
    connect(this, &QComboBox::activated, this, [this](int index) { choose(index); });
    refreshState();
}

void TDBComboBox::setItems(const QStringList& items)
{
    clear();
    addItems(items);
    showField();
}

void TDBComboBox::setValues(const QStringList& values)
{
    m_values = values;
    showField();
}

void TDBComboBox::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    refreshState();
}

void TDBComboBox::refreshState()
{
    setEnabled(!m_readOnly && m_link->canModify());
}

QString TDBComboBox::storedValue(int index) const
{
    return index < m_values.size() ? m_values[index] : itemText(index);
}

void TDBComboBox::showField()
{
    const Field* f = m_link->field();
    int index = -1;
    if (f && !f->IsNull()) {
        const QString value = f->Text();
        for (int i = 0; i < count() && index < 0; ++i) {
            if (storedValue(i) == value)
                index = i;
        }
    }
    setCurrentIndex(index);
}

void TDBComboBox::choose(int index)
{
    guarded([&] {
        if (index < 0 || !m_link->edit())
            return;
        m_link->field()->setText(storedValue(index));
    });
    showField();
}

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent, const QString& name)
    : QComboBox(parent), m_link(new FieldDataLink(this))
{
    setObjectName(name);
    m_link->onDataChange = [this] { showField(); };
    m_link->onStateChange = [this] { setEnabled(m_link->canModify()); };
    connect(this, &QComboBox::activated, this, [this](int index) { choose(index); });
    setEnabled(false);
}

void TDBLookupComboBox::setListSource(framework::DataSource* source)
{
    disconnect(m_listConnection);
    m_listSource = source;
    if (source)
        m_listConnection = connect(source, &DataSource::rowsReset, this, [this] { guarded([this] { loadItems(); }); });
    loadItems();
}

void TDBLookupComboBox::setKeyField(const QString& name)
{
    m_keyField = name;
    loadItems();
}

void TDBLookupComboBox::setListField(const QString& name)
{
    m_listField = name;
    loadItems();
}

void TDBLookupComboBox::loadItems()
{
    clear();
    ClientDataSet* list = m_listSource ? m_listSource->DataSet() : nullptr;
    if (list && list->Active() && !m_keyField.isEmpty() && !m_listField.isEmpty()) {
        Field* key = list->FieldByName(m_keyField);
        Field* shown = list->FieldByName(m_listField);
        for (int position = 0; position < list->RecordCount(); ++position)
            addItem(list->displayTextAt(position, shown), list->valueAt(position, key));
    }
    showField();
}

void TDBLookupComboBox::showField()
{
    const Field* f = m_link->field();
    setCurrentIndex(f && !f->IsNull() ? findData(f->Value()) : -1);
}

void TDBLookupComboBox::choose(int index)
{
    guarded([&] {
        if (index < 0 || !m_link->edit())
            return;
        m_link->field()->setText(itemData(index).toString());
    });
    showField();
}

} // namespace framework
