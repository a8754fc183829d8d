#include "fielddef.h"

#include "framework/abort.h"

namespace framework {

namespace {
struct TypeName {
    FieldType type;
    const char* name;
};
constexpr TypeName typeNames[] = {
    {FieldType::String, "string"},     {FieldType::Float, "float"},
    {FieldType::Integer, "integer"},   {FieldType::Boolean, "boolean"},
    {FieldType::DateTime, "datetime"}, {FieldType::Blob, "blob"},
};
} // namespace

QString fieldTypeName(FieldType type)
{
    for (const auto& t : typeNames)
        if (t.type == type)
            return QString::fromLatin1(t.name);
    return {};
}

FieldType fieldTypeFromName(const QString& name)
{
    for (const auto& t : typeNames)
        if (name == QLatin1String(t.name))
            return t.type;
    throw Error(QStringLiteral("Tipo de campo desconhecido: '%1'.").arg(name));
}

} // namespace framework
