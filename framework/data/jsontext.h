#pragma once

#include <QByteArray>
#include <QVariant>

namespace framework {

// The JSON text of a server result in the one encoding of variantToJson, written straight to
// bytes: a packet of tens of thousands of rows goes out without building a JSON tree first.
QByteArray variantToJsonText(const QVariant& value);

} // namespace framework
