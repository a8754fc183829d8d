#pragma once

#include "datalink.h"

#include <QCheckBox>

namespace framework {

// A check box over a flag field: checked when the field holds ValueChecked ("S"), unchecked
// otherwise (a Boolean field is read and written as such). A click puts a browsing dataset into
// edit and writes the new value through Field::setText at once; a refused edit leaves the box
// as it was.
class TDBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TDBCheckBox(QWidget* parent = nullptr, const QString& name = {});

    framework::DataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(framework::DataSource* source) { m_link->setDataSource(source); }
    const QString& DataField() const { return m_link->DataField(); }
    void setDataField(const QString& name) { m_link->setDataField(name); }

    const QString& ValueChecked() const { return m_valueChecked; }
    void setValueChecked(const QString& value);
    const QString& ValueUnchecked() const { return m_valueUnchecked; }
    void setValueUnchecked(const QString& value);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

protected:
    void nextCheckState() override;

private:
    void showField();

    FieldDataLink* m_link;
    QString m_valueChecked = QStringLiteral("S");
    QString m_valueUnchecked = QStringLiteral("N");
    bool m_readOnly = false;
};

} // namespace framework
