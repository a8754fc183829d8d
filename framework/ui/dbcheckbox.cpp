#include "dbcheckbox.h"

#include "guard.h"

namespace framework {

TDBCheckBox::TDBCheckBox(QWidget* parent, const QString& name) : QCheckBox(parent), m_link(new FieldDataLink(this))
{
    setObjectName(name);
    m_link->onDataChange = [this] { showField(); };
    m_link->onStateChange = [this] { setEnabled(m_link->field() != nullptr); };
    setEnabled(false);
}

void TDBCheckBox::setValueChecked(const QString& value)
{
    m_valueChecked = value;
    showField();
}

void TDBCheckBox::setValueUnchecked(const QString& value)
{
    m_valueUnchecked = value;
    showField();
}

void TDBCheckBox::showField()
{
    const Field* f = m_link->field();
    bool checked = false;
    if (f && !f->IsNull()) {
        checked = f->DataType() == FieldType::Boolean
                      ? f->AsBoolean()
                      : f->AsString().compare(m_valueChecked, Qt::CaseInsensitive) == 0;
    }
    setChecked(checked);
}

void TDBCheckBox::nextCheckState()
{
    if (m_readOnly || !m_link->canModify())
        return;
    // The box shows the field: it changes only through the field's notification.
    guarded([this] {
        const bool check = !isChecked();
        m_link->edit();
        Field* f = m_link->field();
        if (f->DataType() == FieldType::Boolean)
            f->setAsBoolean(check);
        else
            f->setText(check ? m_valueChecked : m_valueUnchecked);
    });
    showField();
}

} // namespace framework
