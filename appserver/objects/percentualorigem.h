#pragma once

#include "appserver/call.h"
#include "lugarreceita.h"

#include <QString>

namespace framework {
class RowStore;
}

namespace appserver {

// What the methods that give service recipes as a percentage of an origin recipe share: the
// percentage apply (AplicaPercentualReceita and its preview) and the replication to many services
// (ReplicaReceitaServico) check, scale and refuse with these same pieces.

// "serviço 00002 da filial 0002", for messages.
QString nomeServico(const QString& filial, const QString& servico);

// The percentage as it is stored and applied; refuses one that is not above 0 once taken to 2
// decimals (naming the service when one is given).
double percentualServico(double percentual, const QString& servico = {});

// An origin a service may take its recipe from: registered, and a service only when it serves
// meals (restaurant "N" or hospital "D").
void verificaOrigemServico(Call& call, const LugarReceita& origem);

// The recipe a percentage of the origin gives: the origin's rows with every quantity scaled and
// rounded as the recipe pages round (EscalaReceita). The preview, the apply and the replication
// store what this gives.
framework::DataPacket receitaEscalada(framework::DataPacket receita, double percentual);

// What a service's recipe of a dish follows: an origin at a percentage, or nothing.
struct PercentualDeServico {
    QString filial, servico;
    const LugarReceita* origem = nullptr; // none: the service forgets what it followed
    double percentual = 0;
};
// Records what each service now follows (PERCRECESERV, which the percentage form lists), in few
// statements: the services of a branch in lists.
void gravaPercentuais(Call& call, const ChavePrato& prato, const QList<PercentualDeServico>& lista);

// A quantity the recipe pages need above zero is not (a product of nothing).
bool quantidadeZerada(const framework::RowStore& linhas, int linha);

} // namespace appserver
