#pragma once

#include <QString>
#include <QStringList>

namespace appserver {

// The statement that answers the next number of one level of numbered dish records (preparation
// modes, photos): every level's number column is in the answer, the asked level's holding the
// number after the highest (99 once past 98, which the client refuses) and the others null.
QString selectProximoNumero(const QStringList& numberColumns, const QString& column, const QString& table,
                            const QString& where);

} // namespace appserver
