#pragma once

#include "appserver/call.h"

namespace appserver {

// The ingredient lists of the four recipe levels and the dish data beside each, loaded a group
// of dishes at a time and updated from the lists' change logs.
namespace receitas {

enum class Nivel { Padrao, TpCard, Filial, Servico };

// The level's rows of every dish under the group code (the dish code cut to its group) that
// belongs to the standard tree or to the branch's own: element 0 the ingredient list, element 1
// the dish data. `scope` holds the level's keys in their order: none for the standard level,
// (central, menu type), (branch) or (branch, service).
QVariantList carrega(Call& call, Nivel nivel, const QString& group, const QString& branch, const QVariantList& scope);

// Applies a change log of the level's ingredient list inside the call's transaction.
void atualiza(Call& call, Nivel nivel, const framework::DataPacket& log);

// Applies a change log of the level's dish data inside the call's transaction; then every field
// the null-field list names ("_NAME_NAME_", "_" for none, empty after a deletion) becomes null
// in each record the log inserted or changed. Only the dish data's own columns are named; a
// key or an unknown name refuses the call.
void atualizaDados(Call& call, Nivel nivel, const framework::DataPacket& log, const QString& nulos);

} // namespace receitas
} // namespace appserver
