#pragma once

#include <QVariant>
#include <QVariantList>

namespace framework {
class ClientDataSet;
}

namespace recipe {

// A one-letter flag of a loaded parameter dataset; empty while it is not loaded.
QString flag(const framework::ClientDataSet* dataSet, const char* field);
// Loads a query's answer into a dataset; a server failure is shown and ends the action.
void loadPacket(framework::ClientDataSet* dataSet, const QVariant& result);
// The answer of a method that gives several results; a text in its place is the server's
// failure and is raised with that text.
QVariantList packetArray(const QVariant& result);
// The status text of an update: empty on success, else why the server refused the change.
QString updateStatus(const QVariant& result);

} // namespace recipe
