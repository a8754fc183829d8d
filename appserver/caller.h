#pragma once

#include <QString>

namespace appserver {

// Who makes a call: the operator of the session it comes from. The daemon takes them from the
// session's token and the connection; the in-process transport from the host it runs in.
// Nothing a method is sent can change them.
struct Caller {
    QString operatorCode;
    QString session; // the supervisor authorisations given during it are bound to it
    QString address = QStringLiteral("local"); // where the call comes from: passwords it tries count for it
};

} // namespace appserver
