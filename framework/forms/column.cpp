#include "column.h"

#include "datasetmodel.h"
#include "framework/data/field.h"

namespace framework {

int TColumn::Index() const { return m_owner->columnOfField(m_fieldName); }

QString TColumn::Title() const
{
    if (!m_title.isEmpty())
        return m_title;
    return m_field ? m_field->DisplayLabel() : m_fieldName;
}

void TColumn::setTitle(const QString& title)
{
    m_title = title;
    changed();
}

void TColumn::setWidth(int pixels)
{
    if (m_width == pixels)
        return;
    m_width = pixels;
    changed();
}

void TColumn::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    changed();
}

void TColumn::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    changed();
}

void TColumn::setButtonStyle(ButtonStyle style)
{
    if (m_buttonStyle == style)
        return;
    m_buttonStyle = style;
    changed();
}

void TColumn::setPickList(const QStringList& items)
{
    m_pickList = items;
    changed();
}

bool TColumn::editable() const
{
    return !m_readOnly && m_field && !m_field->ReadOnly() && !m_field->Calculated();
}

void TColumn::changed() { m_owner->columnPropertyChanged(this); }

} // namespace framework
