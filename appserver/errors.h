#pragma once

#include "framework/abort.h"

namespace appserver {

// A call refused for a reason the user can act on (conflict, invalid data, missing argument).
// Its text reaches the client unchanged: as the status of an update, as the fault of a query.
class Refusal : public framework::Error {
public:
    using framework::Error::Error;
};

// A call refused because its operator may not make it (a right or an authorisation he lacks,
// another operator named in his place).
class NotAllowed : public Refusal {
public:
    using Refusal::Refusal;
};

} // namespace appserver
