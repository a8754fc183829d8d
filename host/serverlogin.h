#pragma once

#include "hostoptions.h"

#include <QString>

namespace host {

// Logs the host in at its application server as the operator of its options: with the password
// option when given, otherwise (or when it is refused) asking through the dialog service, three
// times at most. Empty on success; otherwise the last reason (also when the user cancels).
QString loginToServer(const HostOptions& options);

} // namespace host
