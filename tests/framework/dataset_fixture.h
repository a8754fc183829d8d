#pragma once

#include "framework/abort.h"
#include "framework/data/clientdataset.h"

#include <QStringList>
#include <gtest/gtest.h>

// A small dish list: CDPRATO, NMPRATO, QTPESO (float), NRCOR (integer).
inline void fillDishes(framework::ClientDataSet& ds, const QList<std::tuple<QString, QString, double>>& rows)
{
    using framework::FieldType;
    framework::DataPacket packet({{"CDPRATO", FieldType::String, 10},
                                  {"NMPRATO", FieldType::String, 40},
                                  {"QTPESO", FieldType::Float},
                                  {"NRCOR", FieldType::Integer}});
    for (const auto& [code, name, weight] : rows) {
        const int r = packet.appendRow();
        packet.rows.setValue(r, 0, code);
        packet.rows.setValue(r, 1, name);
        packet.rows.setValue(r, 2, weight);
    }
    ds.SetData(packet);
}

inline QStringList codes(framework::ClientDataSet& ds)
{
    QStringList result;
    for (int pos = 0; pos < ds.RecordCount(); ++pos)
        result << ds.valueAt(pos, ds.FieldByName("CDPRATO")).toString();
    return result;
}
