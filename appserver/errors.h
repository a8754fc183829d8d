#pragma once

#include "framework/abort.h"

namespace appserver {

// A call refused for a reason the user can act on (conflict, invalid data, missing argument).
// Its text reaches the client unchanged: as the status of an update, as the fault of a query.
class Refusal : public framework::Error {
public:
    using framework::Error::Error;
};

} // namespace appserver
