#include "resultcolumns.h"

#include <QStringList>
#include <stdexcept>

namespace appserver {

framework::FieldDefs fields(const char* list)
{
    using framework::FieldType;
    framework::FieldDefs defs;
    for (const QString& item : QString::fromLatin1(list).split(' ', Qt::SkipEmptyParts)) {
        const QString name = item.section(':', 0, 0);
        const QString type = item.section(':', 1);
        framework::FieldDef def;
        def.name = name;
        if (type.startsWith('T')) {
            def.type = FieldType::String;
            def.size = type.mid(1).toInt();
        } else if (type == "D") {
            def.type = FieldType::Float;
        } else if (type == "I") {
            def.type = FieldType::Integer;
        } else if (type == "B") {
            def.type = FieldType::Boolean;
        } else if (type == "DT") {
            def.type = FieldType::DateTime;
        } else if (type == "X") {
            def.type = FieldType::Blob;
        } else {
            // A programming error in a column list: caught by the first test of that method.
            throw std::logic_error(("bad column list item: " + item).toStdString());
        }
        defs.append(def);
    }
    return defs;
}

} // namespace appserver
