#pragma once

#include "framework/data/fielddef.h"

namespace appserver {

// Result columns written compactly, one "NAME:TYPE" per blank-separated item:
// T<n> text of n characters (T alone: unlimited), D float, I integer, B boolean, DT date-time,
// X binary. Example: "CDPRATO:T10 NMPRATO:T40 VRVALIDADE:D".
framework::FieldDefs fields(const char* list);

} // namespace appserver
