#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace appserver {

class Call;

// One level's table of numbered dish records (preparation modes, photos): its key is the dish,
// the level's scope and the record's number; exactly `colunas`, in that order, go to the client.
struct NivelNumerado {
    const char* tabela;
    QStringList escopo; // CDFILIAL, CDSERVFILI where the level has them
    QString numero;     // the record's two-digit number
    QString ativo;      // "1" active, "2" deactivated
    const char* colunas;

    QStringList grupo() const;  // the dish and the scope: one active record in each
    QStringList chaves() const; // the group and the number
    // "CDFILAUXPRAT = ? AND CDPRATO = ? [AND CDFILIAL = ? [AND CDSERVFILI = ?]]"
    QString filtroPrato() const;
};

// Applies the level's change log; a dish keeps at most one active record on each level, and a
// log that would leave two is refused with `duasAtivas`.
void atualizaNumerados(Call& call, const NivelNumerado& nivel, const QString& duasAtivas);

// GetProxCodigo...: the arguments are the dish (auxiliary code, code), the branch and the
// service, which go back padded; no branch is the standard level, no service the branch's. Every
// level's number column is in the answer, the asked level's holding the number after the highest
// (99 once past 98, which the client refuses) and the others null.
QVariant proximoNumero(Call& call, const NivelNumerado& padrao, const NivelNumerado& filial,
                       const NivelNumerado& servico);

} // namespace appserver
