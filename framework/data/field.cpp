#include "field.h"

#include "clientdataset.h"
#include "framework/abort.h"
#include "numberformat.h"

namespace framework {

namespace {
bool isNumeric(FieldType type) { return type == FieldType::Float || type == FieldType::Integer; }
} // namespace

Field::Field(ClientDataSet* dataSet, const FieldDef& def, bool calculated)
    : QObject(dataSet), m_dataSet(dataSet), m_def(def), m_calculated(calculated)
{
    setObjectName(dataSet->objectName() + def.name);
}

int Field::DisplayWidth() const
{
    if (m_displayWidth > 0)
        return m_displayWidth;
    if (m_def.type == FieldType::String && m_def.size > 0)
        return m_def.size;
    return 10;
}

void Field::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    m_dataSet->notifyReset();
}

Qt::Alignment Field::Alignment() const
{
    return isNumeric(m_def.type) ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
}

QVariant Field::Value() const { return m_dataSet->fieldValue(*this, m_dataSet->currentRow()); }

void Field::setValue(const QVariant& value) { m_dataSet->writeField(*this, value); }

bool Field::IsNull() const
{
    // A text read empty from the database is kept apart from null so that it goes back as it
    // was read; for the forms both mean "not informed".
    const QVariant v = Value();
    return !v.isValid() || (m_def.type == FieldType::String && v.toString().isEmpty());
}

QString Field::AsString() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    switch (m_def.type) {
    case FieldType::Float: return formatNumber(v.toDouble(), {});
    case FieldType::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("dd/MM/yyyy"))
                                        : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case FieldType::Blob: return QString::fromUtf8(v.toByteArray());
    default: return v.toString();
    }
}

void Field::setAsString(const QString& text)
{
    if (isNumeric(m_def.type)) {
        const QString trimmed = text.trimmed();
        if (trimmed.isEmpty()) {
            Clear();
            return;
        }
        double number = 0;
        if (!parseNumber(trimmed, number))
            throw Error(QStringLiteral("'%1' não é um valor numérico válido.").arg(text));
        setValue(number);
        return;
    }
    setValue(text);
}

double Field::AsFloat() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0;
    if (m_def.type == FieldType::String) {
        double number = 0;
        if (!parseNumber(v.toString(), number))
            throw Error(QStringLiteral("'%1' não é um valor numérico válido.").arg(v.toString()));
        return number;
    }
    return v.toDouble();
}

qint64 Field::AsInteger() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0;
    if (m_def.type == FieldType::Float)
        return qRound64(v.toDouble());
    bool ok = true;
    const qint64 i = v.toLongLong(&ok);
    if (!ok)
        throw Error(QStringLiteral("'%1' não é um valor inteiro válido.").arg(v.toString()));
    return i;
}

bool Field::AsBoolean() const { return Value().toBool(); }
QDateTime Field::AsDateTime() const { return Value().toDateTime(); }
QByteArray Field::AsBlob() const { return Value().toByteArray(); }

QString Field::formatted(const QString& pattern) const
{
    if (!pattern.isEmpty() && isNumeric(m_def.type) && !IsNull())
        return formatNumber(Value().toDouble(), pattern);
    return AsString();
}

QString Field::DisplayText() const
{
    if (OnGetText) {
        QString text = AsString();
        OnGetText(const_cast<Field&>(*this), text, true);
        return text;
    }
    return formatted(m_displayFormat);
}

QString Field::Text() const
{
    if (OnGetText) {
        QString text = AsString();
        OnGetText(const_cast<Field&>(*this), text, false);
        return text;
    }
    return formatted(m_editFormat);
}

void Field::setText(const QString& text)
{
    if (OnSetText)
        OnSetText(*this, text);
    else
        setAsString(text);
}

} // namespace framework
