#pragma once

#include "fielddef.h"

#include <QDateTime>
#include <QObject>
#include <QVariant>
#include <functional>

namespace framework {

class ClientDataSet;

// One column of a dataset seen through its current record. Its objectName is the dataset's
// objectName followed by the field name (cdsPratoCDPRATO), as forms refer to it.
class Field : public QObject {
    Q_OBJECT
public:
    using TextGetter = std::function<void(Field& field, QString& text, bool displayText)>;
    using TextSetter = std::function<void(Field& field, const QString& text)>;
    using FieldEvent = std::function<void(Field& field)>;

    ClientDataSet* DataSet() const { return m_dataSet; }
    const QString& FieldName() const { return m_def.name; }
    FieldType DataType() const { return m_def.type; }
    int Size() const { return m_def.size; }
    bool Calculated() const { return m_calculated; }
    const FieldDef& definition() const { return m_def; }

    // Presentation and behaviour properties.
    QString DisplayLabel() const { return m_displayLabel.isEmpty() ? m_def.name : m_displayLabel; }
    void setDisplayLabel(const QString& label) { m_displayLabel = label; }
    int DisplayWidth() const;
    void setDisplayWidth(int width) { m_displayWidth = width; }
    // Number patterns such as "#,##0.00000" or "#,##0.00 %", rendered the Brazilian way.
    const QString& DisplayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString& format) { m_displayFormat = format; }
    const QString& EditFormat() const { return m_editFormat; }
    void setEditFormat(const QString& format) { m_editFormat = format; }
    const QString& EditMask() const { return m_editMask; }
    void setEditMask(const QString& mask) { m_editMask = mask; }
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    int ProviderFlags() const { return m_def.providerFlags; }
    void setProviderFlags(int flags) { m_def.providerFlags = flags; }
    bool Required() const { return m_def.required; }
    void setRequired(bool required) { m_def.required = required; }
    Qt::Alignment Alignment() const;

    // Value of the current record. Writing needs the dataset in edit or insert state (or
    // computing calculated fields) and a field that is not read-only.
    QVariant Value() const;
    void setValue(const QVariant& value);
    bool IsNull() const; // an empty text counts as null
    void Clear() { setValue(QVariant()); }

    QString AsString() const;          // numbers with a decimal comma, no grouping
    void setAsString(const QString& text); // Brazilian number text for numeric fields
    double AsFloat() const;
    void setAsFloat(double value) { setValue(value); }
    qint64 AsInteger() const;
    void setAsInteger(qint64 value) { setValue(value); }
    bool AsBoolean() const;
    void setAsBoolean(bool value) { setValue(value); }
    QDateTime AsDateTime() const;
    void setAsDateTime(const QDateTime& value) { setValue(value); }
    QByteArray AsBlob() const;
    void setAsBlob(const QByteArray& value) { setValue(value); }

    // Text shown by controls in browse mode (display format) and while editing (edit format),
    // each through OnGetText when assigned.
    QString DisplayText() const;
    QString Text() const;
    // Text typed by the user: through OnSetText when assigned, else converted as AsString.
    void setText(const QString& text);

    TextGetter OnGetText;
    TextSetter OnSetText;
    FieldEvent OnChange;   // after the value changed
    FieldEvent OnValidate; // before the value is kept; throwing refuses it

private:
    friend class ClientDataSet;
    Field(ClientDataSet* dataSet, const FieldDef& def, bool calculated);
    QString formatted(const QString& pattern) const;

    ClientDataSet* m_dataSet;
    FieldDef m_def;
    bool m_calculated;
    int m_column = -1; // column in the dataset's data or calculated store
    QString m_displayLabel;
    int m_displayWidth = 0;
    QString m_displayFormat;
    QString m_editFormat;
    QString m_editMask;
    bool m_visible = true;
    bool m_readOnly = false;
    int m_tag = 0;
};

} // namespace framework
