#include "percentualorigem.h"

#include "appserver/errors.h"
#include "escalareceita.h"
#include "framework/core/consiste.h"
#include "framework/data/rowstore.h"
#include "lugarreceita.h"

namespace appserver {

QString nomeServico(const QString& filial, const QString& servico)
{
    return QStringLiteral("serviço %1 da filial %2").arg(servico, filial);
}

double percentualServico(double percentual, const QString& servico)
{
    const double arredondado = framework::RoundDec(percentual, 2);
    if (!(arredondado > 0))
        throw Refusal(servico.isEmpty()
                          ? QStringLiteral("Valor percentual deve ser maior que zero.")
                          : QStringLiteral("Valor percentual do %1 deve ser maior que zero.").arg(servico));
    return arredondado;
}

void verificaOrigemServico(Call& call, const LugarReceita& origem)
{
    origem.verificaCadastro(call);
    if (origem.nivel() != LugarReceita::Nivel::Servico)
        return;
    const QString tipo = call.value("SELECT IDTIPOSERV FROM SERVICO WHERE CDFILIAL = ? AND CDSERVFILI = ?",
                                    {origem.filial(), origem.servico()})
                             .toString();
    if (tipo != u"N" && tipo != u"D")
        throw Refusal(QStringLiteral("Somente serviço do tipo restaurante ou do tipo hospitalar pode ser utilizado "
                                     "como origem (%1).")
                          .arg(nomeServico(origem.filial(), origem.servico())));
}

framework::DataPacket receitaEscalada(framework::DataPacket receita, double percentual)
{
    const EscalaReceita escala = EscalaReceita::percentual(percentual);
    for (int r = 0; r < receita.rowCount(); ++r)
        escala.aplica(receita.rows, r);
    return receita;
}

bool quantidadeZerada(const framework::RowStore& linhas, int linha)
{
    for (int coluna : {int(ingrediente::Quantidade), int(ingrediente::Requisicao)})
        if (linhas.isNull(linha, coluna) || !(linhas.number(linha, coluna) > 0))
            return true;
    return false;
}

} // namespace appserver
