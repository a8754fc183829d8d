#pragma once

#include "framework/data/datapacket.h"

#include <QStringList>
#include <QVariantList>

namespace appserver {

class Call;

// A flag that one row of a dish at most may carry (the active preparation mode or photo of a
// level, the principal container): the dish's group is the dish, with its branch and service
// where the table has them.
struct MarcaUnica {
    const char* tabela;
    QStringList grupo; // the group's columns, part of the table's key
    QString marca;     // the flag column
    QString valor;     // the value one row of a group at most may hold
};

// The groups of the change log's inserted and modified rows, each once: those a save can give a
// second marked row. A deleted row takes a mark away and a row's group is its key.
QList<QVariantList> gruposAlterados(const framework::DataPacket& log, const QStringList& grupo);

// Refuses the call with `recusa` when one of the given groups holds the mark on more than one
// row. Only those groups are looked at: a duplicate elsewhere is not this save's doing and does
// not block it.
void verificaMarcaUnica(Call& call, const MarcaUnica& marca, const QList<QVariantList>& grupos, const QString& recusa);

} // namespace appserver
