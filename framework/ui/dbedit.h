#pragma once

#include "datalink.h"
#include "maskedit.h"

namespace framework {

class DataSource;
class Field;

// An edit bound to a field. It follows the dataset: empty and read-only without an active
// dataset or for a read-only field; typing into it puts a browsing dataset into edit (a refused
// BeforeEdit swallows the key). The typed text reaches the field through Field::setText (so the
// field's OnSetText runs) when the edit is left, on Enter, and before the dataset posts; Escape
// drops the typing. A refused text keeps the focus in the edit.
//
// The edit mask is the edit's own (setEditMask) or else the field's EditMask. Without focus the
// edit shows the field's DisplayText, while editing its Text (a masked edit always its Text).
class TDBEdit : public TMaskEdit {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr, const QString& name = {});

    framework::DataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(framework::DataSource* source) { m_link->setDataSource(source); }
    const QString& DataField() const { return m_link->DataField(); }
    void setDataField(const QString& name) { m_link->setDataField(name); }
    Field* field() const { return m_link->field(); }

    // The form's own read-only wish; the edit is read-only also when the data allows no change.
    // Hides QLineEdit::setReadOnly on purpose.
    void setReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }

    // Writes a pending typing into the field now (throws when the field refuses it).
    void updateRecord() { m_link->updateRecord(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool leaving() override;
    void entering() override;

    // What the edit shows for the field; the number edit formats its own.
    virtual QString fieldText(const Field& field, bool editing) const;
    // Writes the edit's content into the field (the dataset is editing).
    virtual void writeValue(Field& field);
    void showField();

private:
    void refreshState();
    void writeField();
    bool changesText(const QKeyEvent* event) const;

    FieldDataLink* m_link;
    bool m_readOnly = false;
    bool m_maskFromField = false;
    bool m_startingEdit = false; // the typed key is putting the dataset into edit
};

// An edit of a numeric field with a fixed number of decimals, Brazilian style: "1.234,50"
// shown, "1234,50" while editing; only digits, one comma and a leading minus can be typed.
class TDBNumberEdit : public TDBEdit {
    Q_OBJECT
public:
    explicit TDBNumberEdit(QWidget* parent = nullptr, const QString& name = {});

    int Decimals() const { return m_decimals; }
    void setDecimals(int decimals);

protected:
    QString fieldText(const Field& field, bool editing) const override;

private:
    int m_decimals = 2;
};

} // namespace framework
