#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

#include "framework/data/field.h"

namespace framework {

class DataSetModel;

// One column of a data grid: which field it shows and how. Owned by the grid's model; every
// change is announced to it so that the grid follows.
class TColumn {
public:
    // cbsAuto gives a drop-down list when the column has pick-list items, a plain editor otherwise.
    enum ButtonStyle { cbsAuto, cbsEllipsis, cbsNone };

    const QString& FieldName() const { return m_fieldName; }
    // Null while the dataset lacks the field; also once the dataset has deleted it, even before
    // the grid hears of new fields.
    Field* field() const { return m_field; }
    int Index() const;

    // Title caption; the field's label unless set.
    QString Title() const;
    void setTitle(const QString& title);
    int Width() const { return m_width; } // -1: as wide as the field's display width asks
    void setWidth(int pixels);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    ButtonStyle buttonStyle() const { return m_buttonStyle; }
    void setButtonStyle(ButtonStyle style);
    const QStringList& PickList() const { return m_pickList; }
    void setPickList(const QStringList& items);
    bool hasPickList() const { return m_buttonStyle == cbsAuto && !m_pickList.isEmpty(); }

    // Whether the user may type into the column's cells (the grid's own options aside).
    bool editable() const;

private:
    friend class DataSetModel;
    TColumn(DataSetModel* owner, const QString& fieldName) : m_owner(owner), m_fieldName(fieldName) {}
    void changed();

    DataSetModel* m_owner;
    QString m_fieldName;
    QPointer<Field> m_field;
    QString m_title;
    int m_width = -1;
    bool m_readOnly = false;
    bool m_visible = true;
    ButtonStyle m_buttonStyle = cbsAuto;
    QStringList m_pickList;
};

} // namespace framework
