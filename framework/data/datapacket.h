#pragma once

#include "rowstore.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>
#include <QVariant>

namespace framework {

enum class RowStatus : quint8 { Unmodified, Inserted, Modified, Deleted };

// Field definitions and rows, as the server sends them and as a dataset hands out its changes.
//
// A plain packet has no statuses. A packet that carries a change log has one status per row and,
// for Modified and Deleted rows, the original values in `originals` (same row numbers as `rows`;
// for a Deleted row `rows` holds the values as they were when deleted). GetDelta gives only the
// changed rows; a dataset's Data gives every row with its status while changes are pending.
struct DataPacket {
    RowStore rows;
    QVector<RowStatus> status; // empty, or one per row
    RowStore originals;        // same columns as rows; used where status is Modified or Deleted
    bool carriesLog = false;

    DataPacket() = default;
    explicit DataPacket(const FieldDefs& fields);

    const FieldDefs& fields() const { return rows.fields(); }
    int rowCount() const { return rows.rowCount(); }
    RowStatus rowStatus(int row) const { return status.isEmpty() ? RowStatus::Unmodified : status[row]; }

    // Appends a row with a status (and its original values for Modified and Deleted rows).
    int appendRow(RowStatus rowStatus = RowStatus::Unmodified);

    QJsonObject toJson() const;
    static DataPacket fromJson(const QJsonObject& json); // throws framework::Error when malformed
};

// A query that failed on the server answers with a fault instead of its data; CheckResultServ
// shows it. (Update methods answer their status as a plain text: empty means success.)
struct ServerFault {
    QString message;
};

// A server result is a variant: a DataPacket, an array (QVariantList) of results, a text or another
// scalar, or a ServerFault. One JSON encoding for all of them keeps both transports and both sides in step.
QJsonValue variantToJson(const QVariant& value);
QVariant variantFromJson(const QJsonValue& json); // throws framework::Error when malformed

bool isPacket(const QVariant& value);
bool isServerFault(const QVariant& value);
DataPacket toPacket(const QVariant& value); // throws framework::Error when not a packet

} // namespace framework

Q_DECLARE_METATYPE(framework::DataPacket)
Q_DECLARE_METATYPE(framework::ServerFault)
