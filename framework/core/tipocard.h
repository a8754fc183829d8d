#pragma once

// The menu-type code fields. Codes are brought to their key with AjustaTipoCard (consiste.h).
namespace framework {

// The edit mask of a menu-type code field: up to ten letters or digits, in capitals, so that a
// menu type named by a word ("HOSPITALAR") is typed or chosen as it is.
inline constexpr char MascaraTipoCard[] = ">aaaaaaaaaa";

} // namespace framework
