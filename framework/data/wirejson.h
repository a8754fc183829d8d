#pragma once

#include "datapacket.h"

#include <QHash>
#include <string>
#include <string_view>

namespace framework {

// What a decoder accepts from the wire at most.
struct WireLimits {
    qint64 maxRows = 5'000'000; // rows of one packet
    int maxDepth = 32;          // arrays within arrays
};

// A JSON object of the wire: its text members ("object", "method", "request", "error") and its
// members in the tagged encoding of variantToJson ("args", "result"; JSON null gives an invalid
// QVariant).
struct WireMessage {
    QHash<QString, QString> texts;
    QHash<QString, QVariant> values;
};

// The JSON of variantToJson and DataPacket::toJson, read and written straight from and into
// UTF-8 text: rows go cell by cell into the packet's columns with no QJsonDocument in between,
// which is what makes large packets travel fast. Readers accept members in any order and
// throw framework::Error on anything malformed (bad JSON, a value of the wrong type for its
// column or tag, a number out of range, too many rows, nesting too deep).
WireMessage readWireMessage(std::string_view json, const WireLimits& limits = {});
std::string writeWireMessage(const WireMessage& message);
QVariant readValueJson(std::string_view json, const WireLimits& limits = {});
std::string writeValueJson(const QVariant& value); // throws framework::Error for a type the wire lacks

} // namespace framework
