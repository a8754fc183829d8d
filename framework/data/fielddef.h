#pragma once

#include <QString>
#include <QVector>

namespace framework {

enum class FieldType { String, Float, Integer, Boolean, DateTime, Blob };

// Provider flags tell the server how a column takes part in applying a change log.
enum ProviderFlag {
    pfInUpdate = 0x1, // written by updates
    pfInWhere = 0x2,  // compared with its original value to detect concurrent changes
    pfInKey = 0x4,    // identifies the row
    pfHidden = 0x8,   // travels in packets but is not shown
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // characters of a string field; 0 = unlimited
    bool required = false;
    int providerFlags = pfInUpdate | pfInWhere;

    bool operator==(const FieldDef&) const = default;
};

using FieldDefs = QVector<FieldDef>;

QString fieldTypeName(FieldType type);
FieldType fieldTypeFromName(const QString& name); // throws framework::Error

} // namespace framework
